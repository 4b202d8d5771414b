#include "mainwindow/program.h"

#include "access/loginwindow.h"
#include "lock/programlock.h"
#include "mainwindow/mainwindow.h"
#include "platform/platform.h"
#include "platform/windowfront.h"
#include "sync/conflictoffer.h"
#include "wording/storagewording.h"

Program::Program(const QString& dataFolder, Platform& platform, QObject* parent)
    : QObject(parent), m_platform(platform), m_vault(dataFolder), m_lock(new ProgramLock(m_vault, platform, this)),
      m_conflictOffer(new ConflictOffer(m_vault, platform, this))
{
    connect(m_lock, &ProgramLock::endRequested, this, &Program::end);
    // Through here, so that a locked program shows its login window instead.
    connect(&m_platform, &Platform::trayIconClicked, this, &Program::bringToFront);
}

Program::~Program()
{
    delete m_loginWindow;
}

LoginWindow* Program::loginWindow() const
{
    return m_loginWindow ? m_loginWindow.get() : m_lock->loginWindow();
}

bool Program::start()
{
    m_vault.setLargeFileConfirmation([this](const QString& path, qint64 megabytes) {
        return m_platform.askYesNo(nullptr, StorageWording::largeFileQuestion(path, megabytes));
    });
    const StorageResult opened = m_vault.open();
    if (!opened.ok()) {
        m_platform.showMessage(nullptr, StorageWording::message(opened), Platform::programTitle(),
                               Platform::MessageIcon::Critical);
        return false;
    }
    if (!opened.notes.isEmpty()) {
        m_platform.showMessage(nullptr, StorageWording::message(opened), Platform::programTitle(),
                               Platform::MessageIcon::Exclamation);
    }
    m_mainWindow = std::make_unique<MainWindow>(m_vault, m_platform);
    connect(m_mainWindow.get(), &MainWindow::programEnded, this, &Program::end);
    if (m_vault.settings().asksPasswordAtStart()) {
        askForPassword();
    } else {
        showMainWindow();
    }
    return true;
}

void Program::bringToFront()
{
    if (LoginWindow* login = loginWindow()) {
        bringWindowToFront(login);
    } else if (m_mainWindow) {
        m_mainWindow->bringToFront();
    }
}

void Program::lock()
{
    // Without the password asked at start there is none to unlock with; before the first login nothing is shown.
    const bool askingAtStart = m_loginWindow && m_loginWindow->isVisible();
    if (m_vault.settings().asksPasswordAtStart() && m_mainWindow && !askingAtStart) {
        m_lock->lock();
    }
}

void Program::showMainWindow()
{
    // Asked only of whoever may open the vault, and before its entries show.
    m_conflictOffer->run();
    m_mainWindow->show();
}

void Program::askForPassword()
{
    m_loginWindow = new LoginWindow(m_vault, m_platform);
    m_loginWindow->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_loginWindow, &LoginWindow::passwordAccepted, this, [this] {
        showMainWindow();
        m_loginWindow->close();
    });
    connect(m_loginWindow, &LoginWindow::programEnded, this, &Program::end);
    m_loginWindow->show();
}

void Program::end()
{
    if (m_loginWindow) {
        m_loginWindow->close();
    }
    if (m_mainWindow) {
        // Its side windows and dialogs go with it.
        m_mainWindow->hide();
        m_mainWindow.release()->deleteLater();
    }
    m_platform.removeTrayIcon();
    m_platform.forgetCopiedSecret();
    emit finished();
}
