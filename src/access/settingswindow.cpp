#include "access/settingswindow.h"

SettingsWindow::SettingsWindow(Vault& vault, Platform& platform, QWidget* parent)
    : QDialog(parent)
    , m_vault(vault)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("frm6_Configurar"));
}
