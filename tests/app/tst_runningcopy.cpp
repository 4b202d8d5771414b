#include "access/loginwindow.h"
#include "app/datafolderlock.h"
#include "app/wakechannel.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "support/input.h"
#include "support/vaultfixture.h"

#include <QLockFile>
#include <QProcess>

#include <future>
#include <memory>
#include <signal.h>

namespace {

enum class FirstCopy
{
    Running,
    OpenForADay,
    Killed,
    NotAnswering
};
enum class Window
{
    Minimised,
    InTheNotificationArea,
    LoginMinimised
};

constexpr int patience = 30000;

// The real program, copied into a folder of its own so that its data files lie there, started offscreen; a process
// still running at the end of a test is killed with its QProcess.
struct PortableCopy
{
    PortableCopy() { QFile::copy(QStringLiteral(KEYHOUND_BINARY), folder.filePath("keyhound")); }
    std::unique_ptr<QProcess> start(const QStringList& arguments = {}) const
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.remove("WAYLAND_DISPLAY");
        process->setProcessEnvironment(environment);
        process->start(folder.filePath("keyhound"), arguments);
        return process;
    }
    QString lockPath() const { return folder.filePath(DataFolderLock::fileName); }
    qint64 lockHolder() const
    {
        qint64 pid = 0;
        QString host, application;
        QLockFile(lockPath()).getLockInfo(&pid, &host, &application);
        return pid;
    }
    QByteArray dataFiles() const { return folder.read("cnfg.tab") + '|' + folder.read("pswd.tab"); }
    QStringList fileNames() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }
    DataFolder folder;
};

} // namespace

Q_DECLARE_METATYPE(FirstCopy)
Q_DECLARE_METATYPE(Window)

// Two starts on one data folder: the second brings the first to the front and ends, and never touches its files.
class RunningCopyTest : public QObject
{
    Q_OBJECT

private slots:
    void secondStart_data();
    void secondStart();
    void dataFolderOptionOpensNothing();
    void woken_data();
    void woken();
};

void RunningCopyTest::secondStart_data()
{
    QTest::addColumn<FirstCopy>("first");
    QTest::addColumn<bool>("secondEnds");
    QTest::addColumn<QString>("message");
    QTest::newRow("first copy running: woken, second ends") << FirstCopy::Running << true << "";
    QTest::newRow("first copy open for a day: woken all the same") << FirstCopy::OpenForADay << true << "";
    QTest::newRow("first copy killed: its lock is taken over") << FirstCopy::Killed << false << "";
    QTest::newRow("first copy not answering: said so, nothing touched")
        << FirstCopy::NotAnswering << false << "mas não respondeu";
}

void RunningCopyTest::secondStart()
{
    QFETCH(FirstCopy, first);
    QFETCH(bool, secondEnds);
    QFETCH(QString, message);
    const PortableCopy copy;
    const auto firstCopy = copy.start();
    const qint64 firstId = firstCopy->processId();
    QTRY_COMPARE_WITH_TIMEOUT(copy.lockHolder(), firstId, patience);
    QTRY_VERIFY_WITH_TIMEOUT(copy.fileNames().contains("pswd.tab"), patience);
    const QByteArray before = copy.dataFiles();
    if (first == FirstCopy::Killed) {
        ::kill(firstId, SIGKILL);
        QVERIFY(firstCopy->waitForFinished());
    } else if (first == FirstCopy::NotAnswering) {
        ::kill(firstId, SIGSTOP);
    } else if (first == FirstCopy::OpenForADay) {
        QFile lock(copy.lockPath());
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    }

    const auto second = copy.start();
    if (secondEnds) {
        QVERIFY(second->waitForFinished(patience));
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(copy.lockHolder(), firstId);
    } else if (message.isEmpty()) {
        QTRY_COMPARE_WITH_TIMEOUT(copy.lockHolder(), second->processId(), patience);
        // It answers a later start in turn, though the killed copy left its socket behind.
        const auto third = copy.start();
        QVERIFY(third->waitForFinished(patience));
        QCOMPARE(third->exitCode(), 0);
    } else {
        QByteArray errors;
        QTRY_VERIFY_WITH_TIMEOUT((errors += second->readAllStandardError()).contains(message.toUtf8()), patience);
        QCOMPARE(copy.lockHolder(), firstId);
    }
    QCOMPARE(copy.dataFiles(), before);
}

// Asking for the data folder prints it and makes no data file.
void RunningCopyTest::dataFolderOptionOpensNothing()
{
    const PortableCopy copy;
    const auto process = copy.start({"--data-folder"});
    QVERIFY(process->waitForFinished(patience));
    QCOMPARE(process->readAllStandardOutput(), QFileInfo(copy.folder.path()).canonicalFilePath().toUtf8() + '\n');
    QCOMPARE(copy.fileNames(), QStringList{"keyhound"});
}

void RunningCopyTest::woken_data()
{
    QTest::addColumn<Window>("window");
    QTest::newRow("minimised: the main window comes back") << Window::Minimised;
    QTest::newRow("in the notification area: the main window comes back") << Window::InTheNotificationArea;
    QTest::newRow("the login asked: the login comes back, not the entries") << Window::LoginMinimised;
}

// Woken through the real local socket, the running program shows its window again.
void RunningCopyTest::woken()
{
    QFETCH(Window, window);
    VaultFixture data;
    QVERIFY(data.vault.saveSettings("8046", window == Window::LoginMinimised).ok());
    Program program(data.folder.path(), data.platform);
    WakeChannel channel(data.folder.path());
    QVERIFY(channel.listen());
    connect(&channel, &WakeChannel::wakeRequested, &program, &Program::bringToFront);
    QVERIFY(program.start());
    MainWindow* main = program.mainWindow();
    if (window == Window::LoginMinimised) {
        program.loginWindow()->showMinimized();
    } else {
        click(child(main, window == Window::Minimised ? "btnMinimizar" : "btnTray"));
        QVERIFY(main->isMinimized() || !main->isVisible());
    }
    auto woken = std::async(std::launch::async, [&data] { return WakeChannel::wake(data.folder.path()); });
    QTRY_VERIFY(woken.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QVERIFY(woken.get());
    QWidget* front = window == Window::LoginMinimised ? static_cast<QWidget*>(program.loginWindow()) : main;
    QVERIFY(front->isVisible() && !front->isMinimized());
    QCOMPARE(main->isVisible(), window != Window::LoginMinimised);
}

QTEST_MAIN(RunningCopyTest)
#include "tst_runningcopy.moc"
