#include "access/loginwindow.h"

LoginWindow::LoginWindow(const Vault& vault, Platform& platform, QWidget* parent)
    : QWidget(parent)
    , m_vault(vault)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("frm0_Logar"));
}
