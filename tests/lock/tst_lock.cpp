#include "support/datafolder.h"
#include "support/input.h"
#include "support/programwindows.h"

#include "access/loginwindow.h"
#include "lock/desktoplocksignals.h"
#include "lock/idlepreference.h"
#include "lock/idlewatcher.h"
#include "lock/programlock.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/pagelist.h"
#include "mainwindow/program.h"
#include "support/recordingplatform.h"

#include <QDBusConnectionInterface>
#include <QDialog>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>

#include <functional>
#include <memory>

using namespace std::chrono_literals;

namespace {

const QString password = QStringLiteral("Cofre9");

// A program over three entries, logged in with the master password.
struct LoggedIn
{
    explicit LoggedIn(bool asked = true)
    {
        Vault vault(folder.path());
        vault.open();
        for (int number = 0; number < 3; ++number) {
            vault.addEntry(ProgramWindows::record(number));
        }
        vault.saveSettings(password.toLatin1(), asked);
        program.start();
        if (asked) {
            typeText(program.loginWindow()->findChild<QLineEdit*>(), password + QLatin1Char('\n'));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    MainWindow* main() const { return program.mainWindow(); }

    DataFolder folder;
    RecordingPlatform platform;
    Program program{folder.path(), platform};
};

QStringList shownWindows()
{
    QStringList names;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            names.append(window->objectName());
        }
    }
    names.sort();
    return names;
}

QWidget* topWindow(const QString& name)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name) {
            return window;
        }
    }
    return nullptr;
}

using Steps = QList<std::function<void()>>;

void closeDialogs()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(window)) {
            dialog->done(QDialog::Rejected); // not reject(), which asks before losing what was typed
        }
    }
}

// Runs the first step, and the others each in a later turn of the event loop, as a user's actions come; closes the
// dialogs after the last. Counts the steps run.
void runSteps(Steps steps, const std::shared_ptr<int>& run)
{
    if (steps.isEmpty()) {
        closeDialogs();
        return;
    }
    steps.takeFirst()();
    ++*run;
    QTimer::singleShot(0, [steps, run] { runSteps(steps, run); });
}

// Clicks the main window's button and runs the steps while the modal window it opens is shown. Returns how many ran
// before the window's event loop returned.
int whileModalOpen(QWidget* main, const QString& button, const Steps& steps)
{
    const auto run = std::make_shared<int>(0);
    QTimer::singleShot(0, [steps, run] { runSteps(steps, run); });
    click(child(main, qPrintable(button)));
    return *run;
}

// A dbus-daemon of this test's own, with a configuration like a session bus's; gone with the object.
class PrivateBus
{
public:
    PrivateBus(const QString& folder, const QString& name)
        : m_socket(folder + QLatin1Char('/') + name), m_config(folder + QLatin1Char('/') + name + ".conf")
    {
        QFile config(m_config);
        if (!config.open(QIODevice::WriteOnly)) {
            return;
        }
        config.write(QStringLiteral("<busconfig><type>%1</type><listen>unix:path=%2</listen><auth>EXTERNAL</auth>"
                                    "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                         .arg(name, m_socket)
                         .toUtf8());
        config.close();
        m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--nofork"), "--config-file=" + m_config});
    }
    ~PrivateBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    QString address() const { return "unix:path=" + m_socket; }
    QDBusConnection connect(const QString& name) const
    {
        QDBusConnection::disconnectFromBus(name);
        return QDBusConnection::connectToBus(address(), name);
    }
    // Waits for the daemon to take connections.
    bool ready() const
    {
        QDeadlineTimer deadline(10s);
        while (!QFile::exists(m_socket) && !deadline.hasExpired()) {
            QTest::qWait(20);
        }
        return QFile::exists(m_socket);
    }

private:
    QString m_socket;
    QString m_config;
    QProcess m_daemon;
};

// The stand-in for logind and the screen savers on the two private buses, as a process of its own.
class DesktopBus
{
public:
    DesktopBus(const PrivateBus& system, const PrivateBus& session)
    {
        m_process.start(QStringLiteral(KEYHOUND_DESKTOPBUS), {system.address(), session.address()});
    }
    ~DesktopBus()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    bool answer(const QByteArray& expected)
    {
        QDeadlineTimer deadline(10s);
        while (!m_process.canReadLine() && !deadline.hasExpired()) {
            m_process.waitForReadyRead(100);
        }
        return m_process.readLine().trimmed() == expected;
    }
    // Sends the signal and returns once the bus has it.
    bool send(const QString& command)
    {
        m_process.write(command.toUtf8() + '\n');
        return answer("sent");
    }

private:
    QProcess m_process;
};

// Returns once everything the bus had routed to the connection has been delivered: the bus answers in order.
void takeDelivery(QDBusConnection& bus)
{
    bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

} // namespace

class TestLock : public QObject
{
    Q_OBJECT

private slots:
    void lockHidesEveryWindowUntilThePassword_data()
    {
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        const auto row = [](const char* name, const char* opener, const char* window, const char* box) {
            QTest::newRow(name) << opener << window << box;
        };
        row("the main window", "", "frm0_Inicial", "");
        row("the side windows, an edited title", "lstLembretes", "frm2_Esquerda", "txtTitulo");
        row("the side windows, working in the main window", "lstLembretes", "frm0_Inicial", "");
        row("the new-entry window, a title typed", "imgEscrever", "frm1_Escrever", "txtTitulo");
        row("the settings window, a password typed", "btnConfig", "frm6_Configurar", "txtSenhaAtual");
        row("the notification area", "btnTray", "", "");
    }

    // The clipboard forgets the copied password; a wrong password is told and asked again; the right one shows what
    // was shown, with what was typed.
    void lockHidesEveryWindowUntilThePassword()
    {
        QFETCH(QString, opener);
        QFETCH(QString, window);
        QFETCH(QString, box);
        LoggedIn logged;
        QSignalSpy finished(&logged.program, &Program::finished);
        auto* list = child<PageList>(logged.main(), "lstLembretes");
        list->setCurrentRow(0);
        click(child(logged.main(), "btnCopySenha"));
        QCOMPARE(logged.platform.clipboard, QStringLiteral("senha00"));
        const bool modal = opener == QLatin1String("imgEscrever") || opener == QLatin1String("btnConfig");
        if (opener == QLatin1String("lstLembretes")) {
            QTest::keyClick(list, Qt::Key_Return);
        } else if (!modal && !opener.isEmpty()) {
            click(child(logged.main(), qPrintable(opener)));
        }
        QPointer<QLineEdit> typed;
        QString text;
        int cursor = 0;
        QStringList before;
        const auto lock = [&] {
            typed = box.isEmpty() ? nullptr : child<QLineEdit>(topWindow(window), qPrintable(box));
            if (QWidget* working = topWindow(window)) {
                working->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(working));
            }
            if (typed) {
                typed->setFocus();
                typeText(typed, QStringLiteral("77"));
            }
            text = typed ? typed->text() : QString();
            cursor = typed ? typed->cursorPosition() : 0;
            before = shownWindows();
            QVERIFY(before.contains(window) || window.isEmpty());

            logged.program.lock();
            QCOMPARE(shownWindows(), QStringList{QStringLiteral("frm0_Logar")});
            QCOMPARE(logged.platform.clipboard, QString());
            QCOMPARE(logged.platform.trayTip,
                     opener == QLatin1String("btnTray") ? ProgramLock::lockedTrayTip() : QString());
            LoginWindow* login = logged.program.loginWindow();
            QVERIFY(login && QTest::qWaitForWindowActive(login));
        };
        const auto wrongPassword = [&] {
            auto* passwordBox = child<QLineEdit>(logged.program.loginWindow(), "txtLogar");
            typeText(passwordBox, QStringLiteral("cofre9\n"));
            QCOMPARE(logged.platform.messages.value(0).text, QStringLiteral("Senha não confere!"));
            QCOMPARE(shownWindows(), QStringList{QStringLiteral("frm0_Logar")});
            QCOMPARE(passwordBox->text(), QString());
            QCOMPARE(finished.count(), 0);
        };
        const auto rightPassword = [&] {
            typeText(child(logged.program.loginWindow(), "txtLogar"), password + QLatin1Char('\n'));
            QCOMPARE(shownWindows(), before);
            QVERIFY(window.isEmpty() || QTest::qWaitForWindowActive(topWindow(window)));
            QCOMPARE(typed ? typed->text() : QString(), text);
            // The next key typed goes after the text instead of replacing it.
            QCOMPARE(typed ? typed->window()->focusWidget() : nullptr, typed.get());
            QCOMPARE(typed ? typed->selectedText() : QString(), QString());
            QCOMPARE(typed ? typed->cursorPosition() : 0, cursor);
            QCOMPARE(logged.platform.trayTip,
                     opener == QLatin1String("btnTray") ? Platform::programTitle() : QString());
            QVERIFY(!logged.program.loginWindow());
            QCOMPARE(logged.platform.messages.size(), 1);
        };
        const Steps steps = {lock, wrongPassword, rightPassword};
        if (modal) {
            QCOMPARE(whileModalOpen(logged.main(), opener, steps), steps.size());
        } else {
            for (const auto& step : steps) {
                step();
            }
        }
        QCOMPARE(finished.count(), 0);
    }

    void lockNeedsTheLoginDone_data()
    {
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("loggedIn");
        QTest::newRow("the password not asked at start: nothing to unlock with") << false << false;
        QTest::newRow("the login at start still open") << true << false;
        QTest::newRow("logged in") << true << true;
    }

    void lockNeedsTheLoginDone()
    {
        QFETCH(bool, asked);
        QFETCH(bool, loggedIn);
        DataFolder folder;
        Vault vault(folder.path());
        QVERIFY(vault.open().ok() && vault.saveSettings(password.toLatin1(), asked).ok());
        RecordingPlatform platform;
        Program program(folder.path(), platform);
        QVERIFY(program.start());
        if (asked && loggedIn) {
            typeText(child(program.loginWindow(), "txtLogar"), password + QLatin1Char('\n'));
        }
        const QStringList before = shownWindows();
        program.lock();
        QCOMPARE(shownWindows(), loggedIn ? QStringList{QStringLiteral("frm0_Logar")} : before);
    }

    void lockedProgramComesForwardAsItsLogin_data()
    {
        QTest::addColumn<bool>("fromTray");
        QTest::newRow("a second start") << false;
        QTest::newRow("a click on the notification-area icon") << true;
    }

    void lockedProgramComesForwardAsItsLogin()
    {
        QFETCH(bool, fromTray);
        LoggedIn logged;
        click(child(logged.main(), "btnTray"));
        logged.program.lock();
        LoginWindow* login = logged.program.loginWindow();
        login->showMinimized();
        fromTray ? logged.platform.clickTrayIcon() : logged.program.bringToFront();
        QVERIFY(login->isVisible() && !login->isMinimized());
        QCOMPARE(shownWindows(), QStringList{QStringLiteral("frm0_Logar")});
    }

    // Closing the login ends the program once the dialogs that were open have returned, with nothing saved.
    void closingTheLockedLoginEnds()
    {
        LoggedIn logged;
        QSignalSpy finished(&logged.program, &Program::finished);
        const Steps steps = {[&] {
                                 typeText(child(topWindow(QStringLiteral("frm1_Escrever")), "txtTitulo"),
                                          QStringLiteral("Nova"));
                                 logged.program.lock();
                             },
                             [&] {
                                 click(child(logged.program.loginWindow(), "btnFechar"));
                                 QCOMPARE(finished.count(), 0);
                             }};
        QCOMPARE(whileModalOpen(logged.main(), QStringLiteral("imgEscrever"), steps), steps.size());
        QTRY_COMPARE(finished.count(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(shownWindows(), QStringList());
        Vault saved(logged.folder.path());
        QVERIFY(saved.open().ok());
        QCOMPARE(saved.entries().size(), 3);
    }

    void idleWatcher_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("inputFor");
        QTest::addColumn<int>("idleTold");
        QTest::newRow("no input: told once") << 200 << 0 << 1;
        QTest::newRow("input all along: not told until it stops") << 1500 << 2500 << 1;
        QTest::newRow("a zero limit: never told") << 0 << 0 << 0;
    }

    void idleWatcher()
    {
        QFETCH(int, limit);
        QFETCH(int, inputFor);
        QFETCH(int, idleTold);
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        IdleWatcher watcher{std::chrono::milliseconds(limit)};
        QSignalSpy idle(&watcher, &IdleWatcher::idle);
        for (QDeadlineTimer input(inputFor); !input.hasExpired(); QTest::qWait(50)) {
            QTest::mouseMove(&window, QPoint(10 + int(input.remainingTime() % 50), 10));
            QCOMPARE(idle.count(), 0);
        }
        if (idleTold > 0) {
            QTRY_COMPARE_WITH_TIMEOUT(idle.count(), idleTold, limit + 5000);
        }
        QTest::qWait(limit + 300);
        QCOMPARE(idle.count(), idleTold);
    }

    void idlePreference_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("minutes");
        QTest::newRow("no file: five") << QByteArray() << 5;
        QTest::newRow("twelve") << QByteArray("[lock]\nidleMinutes=12\n") << 12;
        QTest::newRow("zero: off") << QByteArray("[lock]\nidleMinutes=0\n") << 0;
        QTest::newRow("spaces around") << QByteArray("[lock]\nidleMinutes= 7 \n") << 7;
        QTest::newRow("another section") << QByteArray("[other]\nidleMinutes=12\n") << 5;
        QTest::newRow("not a number") << QByteArray("[lock]\nidleMinutes=dez\n") << 5;
        QTest::newRow("a fraction") << QByteArray("[lock]\nidleMinutes=2.5\n") << 5;
        QTest::newRow("negative") << QByteArray("[lock]\nidleMinutes=-1\n") << 5;
        QTest::newRow("a week") << QByteArray("[lock]\nidleMinutes=10080\n") << 10080;
        QTest::newRow("beyond a week") << QByteArray("[lock]\nidleMinutes=10081\n") << 5;
    }

    void idlePreference()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, minutes);
        DataFolder folder;
        if (!file.isNull()) {
            folder.write(QStringLiteral("KeyHound.conf"), file);
        }
        const QSettings preferences(folder.filePath(QStringLiteral("KeyHound.conf")), QSettings::IniFormat);
        QCOMPARE(IdlePreference::read(preferences).count(), minutes);
    }

    void desktopSignals_data()
    {
        QTest::addColumn<QString>("sessionId");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("locks");
        const auto row = [](const char* name, const char* sessionId, const char* command, bool locks) {
            QTest::newRow(name) << sessionId << command << locks;
        };
        row("logind locks this process's session", "", "lock", true);
        row("logind locks the session named", "c7", "lock-named", true);
        row("an unknown session name: this process's session", "c9", "lock", true);
        row("logind locks another session", "", "lock-other", false);
        row("a Lock from a sender that is not logind", "", "lock-forged", false);
        row("before suspend", "", "sleep", true);
        row("after resume", "", "wake", false);
        row("the freedesktop screen saver turns on", "", "freedesktop-on", true);
        row("the KDE screen saver turns on", "", "kde-on", true);
        row("the GNOME screen saver turns on", "", "gnome-on", true);
        row("the freedesktop screen saver turns off", "", "freedesktop-off", false);
        row("the GNOME screen saver turns off", "", "gnome-off", false);
    }

    // Over two dbus-daemons of the test's own, from a stand-in for logind and the screen savers.
    void desktopSignals()
    {
        QFETCH(QString, sessionId);
        QFETCH(QString, command);
        QFETCH(bool, locks);
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
            QSKIP("dbus-daemon is not installed");
        }
        DataFolder folder;
        const PrivateBus system(folder.path(), QStringLiteral("system"));
        const PrivateBus session(folder.path(), QStringLiteral("session"));
        QVERIFY(system.ready() && session.ready());
        DesktopBus desktop(system, session);
        QVERIFY(desktop.answer("ready"));
        QDBusConnection systemBus = system.connect(QStringLiteral("test-system"));
        QDBusConnection sessionBus = session.connect(QStringLiteral("test-session"));
        DesktopLockSignals listener(systemBus, sessionBus, sessionId);
        QSignalSpy lockRequested(&listener, &DesktopLockSignals::lockRequested);
        QTRY_VERIFY(!listener.sessionPath().isEmpty());

        QVERIFY(desktop.send(command));
        takeDelivery(systemBus);
        takeDelivery(sessionBus);
        QCOMPARE(lockRequested.count(), locks ? 1 : 0);
    }

    void withoutBuses()
    {
        QDBusConnection none =
            QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("none"));
        QVERIFY(!none.isConnected());
        DesktopLockSignals listener(none, none, QStringLiteral("c7"));
        QSignalSpy sessionFound(&listener, &DesktopLockSignals::sessionFound);
        QTest::qWait(100);
        QCOMPARE(sessionFound.count(), 0);
        QCOMPARE(listener.sessionPath(), QString());
    }
};

QTEST_MAIN(TestLock)
#include "tst_lock.moc"
