#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class LoginWindow;
class Platform;
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

    const Vault& m_vault;
    Platform& m_platform;
    QPointer<LoginWindow> m_loginWindow;
    // In the order they are shown again: the dialogs after the windows they stand on.
    QList<QPointer<QWidget>> m_hidden;
};
