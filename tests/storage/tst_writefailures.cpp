#include "referencecodec.h"
#include "support/datafolder.h"
#include "support/filesizelimit.h"
#include "support/fulldisk.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

namespace {

enum Fault
{
    fileSizeLimit,
    fullDisk,
    immutableFile,
    folderAtBackup
};

// A vault of so many entries under the key that the first start at 6/3/26 0:00:07 makes.
QByteArray vaultOf(int entries)
{
    QList<QByteArray> records;
    for (int n = 1; n <= entries; ++n) {
        records.append(ReferenceCodec::crashEntry(n));
    }
    return ReferenceCodec::file(records, "6333");
}

QMap<QString, QByteArray> filesIn(const DataFolder& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        files.insert(name, folder.read(name));
    }
    return files;
}

// The status number and the message of the action run in a child process, under the limit when one is given.
std::pair<int, QString> run(const DataFolder& folder, const QString& action, qint64 sizeLimit = -1)
{
    QProcess child;
    if (sizeLimit >= 0) {
        child.setChildProcessModifier([sizeLimit] { FileSizeLimit::apply(rlim_t(sizeLimit)); });
    }
    child.start(QStringLiteral(STORAGE_ACTION), {folder.path(), action});
    child.waitForFinished(60'000);
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    return {output.section('\n', 0, 0).toInt(), output.section('\n', 1)};
}

} // namespace

// Every change made in a process the kernel stops from writing, with vaults smaller and larger than any buffer a
// writer might keep, fails, says why in Portuguese, and leaves every file byte for byte as it was.
class TestWriteFailures : public QObject
{
    Q_OBJECT

private slots:
    void failedChangeKeepsEveryByte_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("vault"); // empty: a first start in an empty folder
        QTest::addColumn<int>("fault");
        QTest::addColumn<qint64>("sizeLimit");
        const auto row = [](const char* name, const char* action, const QByteArray& vault, Fault fault,
                            qint64 sizeLimit = -1) {
            QTest::newRow(name) << action << vault << int(fault) << sizeLimit;
        };
        const QByteArray small = vaultOf(10), large = vaultOf(100); // about 3 KB and 29 KB
        for (const char* action : {"add", "update", "delete"}) {
            QTest::addRow("%s, 3 KB vault, limit 1 KB", action) << action << small << +fileSizeLimit << 1024LL;
            QTest::addRow("%s, 29 KB vault, limit 20 KB", action) << action << large << +fileSizeLimit << 20480LL;
            QTest::addRow("%s, 3 KB vault, full disk", action) << action << small << +fullDisk << -1LL;
            QTest::addRow("%s, 29 KB vault, full disk", action) << action << large << +fullDisk << -1LL;
        }
        row("settings, limit 64 bytes", "settings", small, fileSizeLimit, 64);
        row("settings, full disk", "settings", small, fullDisk);
        row("first start, limit 0", "start", {}, fileSizeLimit, 0);
        row("first start, full disk", "start", {}, fullDisk);
        row("start with a damaged vault whose copy does not fit", "start", QByteArray(large).insert(1, 'x'), fullDisk);
        row("update of an immutable pswd.tab", "update", small, immutableFile);
        row("settings of an immutable cnfg.tab", "settings", small, immutableFile);
        row("add with a folder named pswd.tab.bak", "add", small, folderAtBackup);
        row("settings with a folder named cnfg.tab.bak", "settings", small, folderAtBackup);
    }
    void failedChangeKeepsEveryByte()
    {
        QFETCH(QString, action);
        QFETCH(QByteArray, vault);
        QFETCH(int, fault);
        QFETCH(qint64, sizeLimit);
        FullDisk disk;
        if (fault == fullDisk && !disk.skipReason().isEmpty()) {
            QSKIP(qPrintable(disk.skipReason()));
        }
        const DataFolder folder(fault == fullDisk ? disk.path() : QString());
        const QString target = action == "settings" || (action == "start" && vault.isEmpty()) ? "cnfg.tab" : "pswd.tab";
        if (!vault.isEmpty()) {
            folder.write("cnfg.tab", ReferenceCodec::settingsFile("6333", "8046", "N\xE3o"));
            folder.write("pswd.tab", vault);
        }
        QMap<QString, QByteArray> expected = filesIn(folder);
        if (fault == fullDisk) {
            disk.fill();
        } else if (fault == folderAtBackup) {
            QVERIFY(QDir(folder.path()).mkdir(target + ".bak"));
        } else if (fault == immutableFile) {
            if (QProcess::execute("chattr", {"+i", folder.filePath(target)}) != 0) {
                QSKIP("This file system has no immutable files.");
            }
            expected.insert(target + ".bak", expected.value(target)); // copied before the rename that fails
        }
        const auto mutableAgain = qScopeGuard([&] { QProcess::execute("chattr", {"-i", folder.filePath(target)}); });

        const auto [status, message] = run(folder, action, sizeLimit);
        QCOMPARE(status, 2); // failed
        const QString reason =
            QList<QString>{QStringLiteral("O arquivo ultrapassa o tamanho máximo permitido."),
                           QStringLiteral("Não há espaço livre no disco."), QStringLiteral("Permissão negada."),
                           QStringLiteral("A cópia de segurança %1.bak não pôde ser guardada.").arg(target)}[fault];
        QVERIFY2(message.contains(reason) && message.contains(target) && !message.contains("sucesso"),
                 qPrintable(message));
        QCOMPARE(filesIn(folder), expected); // not a byte changed, no partial or temporary file left

        disk.free(); // once the kernel lets it write again, the same change goes through
        QProcess::execute("chattr", {"-i", folder.filePath(target)});
        QDir(folder.path()).rmdir(target + ".bak");
        QCOMPARE(run(folder, action).first, 0);
        QVERIFY(filesIn(folder) != expected);
    }
};

QTEST_GUILESS_MAIN(TestWriteFailures)
#include "tst_writefailures.moc"
