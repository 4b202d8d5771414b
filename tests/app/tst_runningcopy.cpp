#include "app/datafolderlock.h"
#include "support/datafolder.h"

#include <QLockFile>
#include <QProcess>
#include <QTest>

#include <memory>
#include <signal.h>

namespace {

enum class Fault
{
    None,
    // The first copy has been open for a day.
    LongRunning,
    Killed,
    Stopped,
};

// The real program, copied into a folder of its own so that its data files lie there, started offscreen.
class PortableCopy
{
public:
    PortableCopy() : m_program(m_folder.filePath(QStringLiteral("keyhound")))
    {
        QFile::copy(QStringLiteral(KEYHOUND_BINARY), m_program);
    }

    std::unique_ptr<QProcess> start(const QStringList& arguments = {}) const
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process->setProcessEnvironment(environment);
        process->start(m_program, arguments);
        return process;
    }

    QString lockPath() const { return m_folder.filePath(QLatin1String(DataFolderLock::fileName)); }
    // The process that holds the folder's lock, or 0.
    qint64 lockHolder() const
    {
        qint64 pid = 0;
        QString host;
        QString application;
        QLockFile(lockPath()).getLockInfo(&pid, &host, &application);
        return pid;
    }

    QByteArray dataFiles() const
    {
        return m_folder.read(QStringLiteral("cnfg.tab")) + '|' + m_folder.read(QStringLiteral("pswd.tab"));
    }
    QStringList fileNames() const { return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden); }
    QString folder() const { return m_folder.path(); }

private:
    DataFolder m_folder;
    QString m_program;
};

void end(QProcess& process)
{
    process.kill();
    process.waitForFinished();
}

constexpr int patience = 30000;

} // namespace

Q_DECLARE_METATYPE(Fault)

// Two starts of the real program on one data folder.
class RunningCopyTest : public QObject
{
    Q_OBJECT

private slots:
    void secondStart_data();
    void secondStart();
    void dataFolderOptionOpensNothing();
};

void RunningCopyTest::secondStart_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("secondEnds");
    QTest::addColumn<QString>("message");

    QTest::newRow("first copy running: woken, second ends") << Fault::None << true << QString();
    QTest::newRow("first copy open for a day: woken all the same") << Fault::LongRunning << true << QString();
    QTest::newRow("first copy killed: its lock is taken over") << Fault::Killed << false << QString();
    QTest::newRow("first copy not answering: said so, nothing touched")
        << Fault::Stopped << false << QStringLiteral("mas não respondeu");
}

void RunningCopyTest::secondStart()
{
    QFETCH(Fault, fault);
    QFETCH(bool, secondEnds);
    QFETCH(QString, message);

    const PortableCopy copy;
    const auto first = copy.start();
    QTRY_COMPARE_WITH_TIMEOUT(copy.lockHolder(), first->processId(), patience);
    QTRY_VERIFY_WITH_TIMEOUT(copy.fileNames().contains(QStringLiteral("pswd.tab")), patience);
    const QByteArray before = copy.dataFiles();
    const qint64 firstId = first->processId();
    if (fault == Fault::Killed) {
        ::kill(firstId, SIGKILL);
        QVERIFY(first->waitForFinished());
        QCOMPARE(copy.lockHolder(), firstId);
    } else if (fault == Fault::Stopped) {
        ::kill(firstId, SIGSTOP);
    } else if (fault == Fault::LongRunning) {
        QFile lock(copy.lockPath());
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    }

    const auto second = copy.start();
    if (secondEnds) {
        QVERIFY(second->waitForFinished(patience));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);
        QCOMPARE(copy.lockHolder(), first->processId());
    } else if (message.isEmpty()) {
        QTRY_COMPARE_WITH_TIMEOUT(copy.lockHolder(), second->processId(), patience);
        // It answers a later start in turn, though the killed copy left its socket behind.
        const auto third = copy.start();
        QVERIFY(third->waitForFinished(patience));
        QCOMPARE(third->exitCode(), 0);
    } else {
        QByteArray errors;
        QTRY_VERIFY_WITH_TIMEOUT((errors += second->readAllStandardError()).contains(message.toUtf8()), patience);
        QCOMPARE(copy.lockHolder(), first->processId());
    }
    QCOMPARE(copy.dataFiles(), before);
    end(*second);
    end(*first);
}

void RunningCopyTest::dataFolderOptionOpensNothing()
{
    const PortableCopy copy;
    const auto process = copy.start({QStringLiteral("--data-folder")});
    QVERIFY(process->waitForFinished(patience));
    QCOMPARE(process->exitCode(), 0);
    QCOMPARE(process->readAllStandardOutput(), QFileInfo(copy.folder()).canonicalFilePath().toUtf8() + '\n');
    QCOMPARE(copy.fileNames(), QStringList{QStringLiteral("keyhound")});
}

QTEST_GUILESS_MAIN(RunningCopyTest)
#include "tst_runningcopy.moc"
