#include "entries/detailwindow.h"

DetailWindow::DetailWindow(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frm2_Esquerda"));
}
