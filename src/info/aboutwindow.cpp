#include "info/aboutwindow.h"

AboutWindow::AboutWindow(Platform& platform, QWidget* parent)
    : QDialog(parent)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("frm5_Sobre"));
}
