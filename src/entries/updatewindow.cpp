#include "entries/updatewindow.h"

UpdateWindow::UpdateWindow(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frm3_Direita"));
}
