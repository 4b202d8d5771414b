#include "mainwindow/mainwindow.h"

MainWindow::MainWindow(Vault& vault, Platform& platform, QWidget* parent)
    : QWidget(parent)
    , m_vault(vault)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("frm0_Inicial"));
}
