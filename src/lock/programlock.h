#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class LoginWindow;
class Platform;
class QLineEdit;
class QWidget;
class Vault;

// Locks the program while its user is away: hides every window it shows (whatever was typed in them stays), forgets
// a login or password still on the clipboard, says so in the notification area's tip and asks for the master
// password in a login window. The right password shows the windows again as they were; a wrong one is told and
// asked again. Closing the login window ends the program.
class ProgramLock : public QObject
{
    Q_OBJECT

public:
    ProgramLock(const Vault& vault, Platform& platform, QObject* parent = nullptr);
    ~ProgramLock() override;

    bool isLocked() const { return m_loginWindow; }
    // While locked, the window that asks for the password.
    LoginWindow* loginWindow() const { return m_loginWindow; }

    static QString lockedTrayTip();

public slots:
    // Locks the program; when it already is, brings the login window to the front.
    void lock();

signals:
    void unlocked();
    // The login window was closed: the program should end. Sent once the dialogs that were open have been closed
    // and their own event loops have returned.
    void endRequested();

private:
    void hideWindows();
    void unlock();
    void closeHiddenDialogs();
    void endOnceDialogsReturned();

    // A window hidden by the lock, with the place of the cursor in its box that had the focus: showing a dialog
    // again selects the whole text of that box, which the next key typed would replace.
    struct HiddenWindow
    {
        QPointer<QWidget> window;
        QPointer<QWidget> focus;
        int cursor = 0;
        int selectionStart = -1;
        int selectionLength = 0;
    };

    static HiddenWindow remember(QWidget* window);
    static void showAgain(const HiddenWindow& hidden);

    const Vault& m_vault;
    Platform& m_platform;
    QPointer<LoginWindow> m_loginWindow;
    // In the order they are shown again: the dialogs after the windows they stand on.
    QList<HiddenWindow> m_hidden;
    // The window the user was working in, active again afterwards.
    QPointer<QWidget> m_activeWindow;
};
