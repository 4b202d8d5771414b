#include "crashstates.h"
#include "referencecodec.h"
#include "storage/vault.h"
#include "support/datafolder.h"
#include "systemcalltrace.h"
#include "wording/storagewording.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using CrashStates::Files;

const QByteArray key = "6333"; // made by a first start at 6/3/26 0:00:07, as the storage action does

static Files filesIn(const DataFolder& folder)
{
    Files files;
    for (const QString& name : QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        files.insert(QFile::encodeName(name), folder.read(name));
    }
    return files;
}

// What the real start makes of the files: its status and message, the settings and every entry.
static QList<QByteArray> opened(const Files& files)
{
    const DataFolder folder;
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        folder.write(QFile::decodeName(file.key()), file.value());
    }
    Vault vault(folder.path());
    const StorageResult result = vault.open(QDateTime(QDate(2026, 3, 6), QTime(0, 0, 7)));
    QList<QByteArray> seen{QByteArray::number(result.status), StorageWording::message(result).toUtf8(),
                           vault.settings().installationKey, vault.settings().masterPassword,
                           vault.settings().askAtStart};
    for (qsizetype i = 0; i < vault.entries().size(); ++i) {
        seen.append(vault.entries().at(i));
    }
    return seen;
}

static QString describe(const Files& files)
{
    QStringList names;
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        names.append(QStringLiteral("%1 (%2 bytes)").arg(QString::fromUtf8(file.key())).arg(file.value().size()));
    }
    return names.join(", ");
}

// The system calls of real saves, cut by a power failure after any of them, leave files that open as the vault and
// settings before or after the save, whole; once the folder is synced, only as after.
class TestPowerCut : public QObject
{
    Q_OBJECT

private slots:
    void everyCutOpensWhole_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("withBackups");
        QTest::addColumn<bool>("exchangeRefused"); // as file systems without RENAME_EXCHANGE answer
        QTest::newRow("first start") << "start" << false << false;
        QTest::newRow("add, no backup yet") << "add" << false << false;
        QTest::newRow("add") << "add" << true << false;
        QTest::newRow("delete") << "delete" << true << false;
        QTest::newRow("settings save, no backup yet") << "settings" << false << false;
        QTest::newRow("settings save") << "settings" << true << false;
        QTest::newRow("add, exchange refused") << "add" << true << true;
        QTest::newRow("settings save, exchange refused") << "settings" << true << true;
    }
    void everyCutOpensWhole()
    {
        QFETCH(QString, action);
        QFETCH(bool, withBackups);
        QFETCH(bool, exchangeRefused);
        if (QProcess::execute("strace", {"-o", "/dev/null", "true"}) != 0) { // missing, or no ptrace allowed
            QSKIP("strace records the system calls of the save.");
        }
        const DataFolder folder;
        if (action != "start") {
            folder.write("cnfg.tab", ReferenceCodec::settingsFile(key, "8046", "N\xE3o"));
            folder.write("pswd.tab", ReferenceCodec::crashVault(3, key));
        }
        if (withBackups) {
            folder.write("cnfg.tab.bak", ReferenceCodec::settingsFile(key, "velha", "N\xE3o"));
            folder.write("pswd.tab.bak", ReferenceCodec::crashVault(2, key));
        }
        const Files before = filesIn(folder);
        const QTemporaryDir traceFolder;
        const QString trace = traceFolder.filePath("save.trace");
        QProcess strace;
        QStringList arguments{"-f",
                              "-qq",
                              "-xx",
                              "-s",
                              "100000000",
                              "-o",
                              trace,
                              "-e",
                              "trace=openat,open,creat,write,pwrite64,fsync,fdatasync,close,rename,renameat,"
                              "renameat2,link,linkat,unlink,unlinkat"};
        if (exchangeRefused) {
            arguments += {"-e", "inject=renameat2:error=EINVAL"};
        }
        // LeakSanitizer cannot run under ptrace and would end the traced save with an error of its own.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
        strace.setProcessEnvironment(environment);
        strace.start("strace", arguments + QStringList{STORAGE_ACTION, folder.path(), action});
        QVERIFY(strace.waitForFinished(60'000));
        QCOMPARE(strace.readAllStandardOutput().left(2), QByteArray("0\n"));
        QFile traceFile(trace);
        QVERIFY(traceFile.open(QIODevice::ReadOnly));
        const QList<TraceStep> steps =
            SystemCallTrace::read(traceFile.readAll(), QFile::encodeName(folder.path()), CrashStates::numbered(before));
        const Files after = filesIn(folder);
        qsizetype lastFolderSync = -1;
        for (qsizetype i = 0; i < steps.size(); ++i) {
            lastFolderSync = steps.at(i).kind == TraceStep::SyncFolder ? i : lastFolderSync;
        }
        QVERIFY2(lastFolderSync >= 0, "the save never synced the folder");

        const QList<QByteArray> old = opened(before), saved = opened(after);
        QCOMPARE(saved.at(0), QByteArray("0"));     // opened without a word
        QVERIFY(old != saved || action == "start"); // a first start opens as it would have made the files
        qsizetype count = 0;
        for (const auto& [model, states] : {std::pair("ordered", CrashStates::ordered(before, steps)),
                                            std::pair("unsynced", CrashStates::unsynced(before, steps))}) {
            for (const CrashStates::State& state : states) {
                const QList<QByteArray> seen = opened(state.files);
                const bool mustBeNew = state.stepsDone > lastFolderSync;
                QVERIFY2(seen == saved || (!mustBeNew && seen == old),
                         qPrintable(QStringLiteral("%1, cut after step %2 of %3: %4 opens as %5")
                                        .arg(model)
                                        .arg(state.stepsDone)
                                        .arg(steps.size())
                                        .arg(describe(state.files), QString::fromUtf8(seen.mid(0, 4).join(" | ")))));
            }
            count += states.size();
        }
        qInfo("%lld steps, %lld states opened", steps.size(), count);
    }
};

QTEST_GUILESS_MAIN(TestPowerCut)
#include "tst_powercut.moc"
