#pragma once

#include <QDialog>

class Platform;
class Vault;

// frm6_Configurar: changes the master password and whether it is asked at start.
class SettingsWindow : public QDialog
{
    Q_OBJECT

public:
    SettingsWindow(Vault& vault, Platform& platform, QWidget* parent = nullptr);

private:
    Vault& m_vault;
    Platform& m_platform;
};
