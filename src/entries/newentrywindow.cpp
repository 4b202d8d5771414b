#include "entries/newentrywindow.h"

NewEntryWindow::NewEntryWindow(Vault& vault, Platform& platform, QWidget* parent)
    : QDialog(parent)
    , m_vault(vault)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("frm1_Escrever"));
}
