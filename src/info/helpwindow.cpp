#include "info/helpwindow.h"

HelpWindow::HelpWindow(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frm4_Ajuda"));
}
