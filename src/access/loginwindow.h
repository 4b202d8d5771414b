#pragma once

#include <QWidget>

class Platform;
class QLineEdit;
class Vault;

// frm0_Logar: asks for the master password at start. One try: the right password opens the main window, a wrong
// one ends the program after a message; closing the window ends it silently. To unlock the program, a wrong password
// is told and asked again instead.
class LoginWindow : public QWidget
{
    Q_OBJECT

public:
    LoginWindow(const Vault& vault, Platform& platform, QWidget* parent = nullptr);

    // A wrong password no longer ends the program: the window says so and asks again.
    void allowRetries() { m_retries = true; }

signals:
    void passwordAccepted();
    void programEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createTitle();
    void createPasswordPanel();
    void createAuthorLink();
    void placeAboveScreenCentre();
    void checkPassword();
    // Tells the outcome once and closes the window; a later close says nothing more.
    void finish(bool accepted);

    const Vault& m_vault;
    Platform& m_platform;
    QLineEdit* m_password = nullptr;
    bool m_finished = false;
    bool m_retries = false;
};
