#pragma once

#include "storage/vault.h"

#include <QObject>
#include <QPointer>

#include <memory>

class LoginWindow;
class MainWindow;
class ConflictOffer;
class Platform;
class ProgramLock;

// One run of the program against a data folder: opens the two data files, shows the login window or the main
// window, and ends when the user closes the program or fails to log in.
class Program : public QObject
{
    Q_OBJECT

public:
    Program(const QString& dataFolder, Platform& platform, QObject* parent = nullptr);
    ~Program() override;

    // Opens the data files (creating them on a first start) and shows the first window. Returns false, after
    // telling the user why, when the program cannot go on.
    bool start();

    Vault& vault() { return m_vault; }
    MainWindow* mainWindow() const { return m_mainWindow.get(); }
    LoginWindow* loginWindow() const;

    // Brings the program's window to the front: the login window while the password is asked, else the main window.
    void bringToFront();
    // Hides the windows until the master password is given again, when it is asked at start and the user is in.
    void lock();

signals:
    // Every window is gone; the program should end.
    void finished();

private:
    void showMainWindow();
    void askForPassword();
    void end();

    Platform& m_platform;
    Vault m_vault;
    std::unique_ptr<MainWindow> m_mainWindow;
    QPointer<LoginWindow> m_loginWindow;
    ProgramLock* m_lock;
    ConflictOffer* m_conflictOffer;
};
