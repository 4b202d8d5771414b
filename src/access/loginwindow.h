#pragma once

#include <QWidget>

class Platform;
class Vault;

// frm0_Logar: asks for the master password at start. One try: the right password opens the main window, a wrong
// one ends the program after a message; closing the window ends it silently.
class LoginWindow : public QWidget
{
    Q_OBJECT

public:
    LoginWindow(const Vault& vault, Platform& platform, QWidget* parent = nullptr);

signals:
    void passwordAccepted();
    void programEnded();

private:
    const Vault& m_vault;
    Platform& m_platform;
};
