#include "referencecodec.h"
#include "support/datafolder.h"
#include "support/filesizelimit.h"
#include "support/fulldisk.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

// Every change to a data file made in a process that the kernel stops from writing: under a file size limit (EFBIG),
// on a full disk (ENOSPC), over a file made immutable (the final rename refused) or with a folder where the backup
// goes; with vaults smaller and larger than any buffer a writer might keep. The change must fail, say why in
// Portuguese, and leave every file byte for byte as it was.
class TestWriteFailures : public QObject
{
    Q_OBJECT

private slots:
    void failedChangeKeepsEveryByte_data();
    void failedChangeKeepsEveryByte();
};

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
    return {output.section(QLatin1Char('\n'), 0, 0).toInt(), output.section(QLatin1Char('\n'), 1)};
}

} // namespace

void TestWriteFailures::failedChangeKeepsEveryByte_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QByteArray>("vault"); // empty: a first start in an empty folder
    QTest::addColumn<int>("fault");
    QTest::addColumn<qint64>("sizeLimit");
    QTest::addColumn<QString>("reason");
    const QString noSpace = QStringLiteral("Não há espaço livre no disco.");
    const QString tooLarge = QStringLiteral("O arquivo ultrapassa o tamanho máximo permitido.");
    const QString denied = QStringLiteral("Permissão negada.");
    const QString noBackup = QStringLiteral("A cópia de segurança %1.bak não pôde ser guardada.");
    const QByteArray small = vaultOf(10), large = vaultOf(100); // about 3 KB and 29 KB
    for (const char* action : {"add", "update", "delete"}) {
        QTest::addRow("%s, 3 KB vault, limit 1 KB", action) << action << small << +fileSizeLimit << 1024LL << tooLarge;
        QTest::addRow("%s, 29 KB vault, limit 20 KB", action)
            << action << large << +fileSizeLimit << 20480LL << tooLarge;
        QTest::addRow("%s, 3 KB vault, full disk", action) << action << small << +fullDisk << -1LL << noSpace;
        QTest::addRow("%s, 29 KB vault, full disk", action) << action << large << +fullDisk << -1LL << noSpace;
    }
    QTest::newRow("settings, limit 64 bytes") << "settings" << small << +fileSizeLimit << 64LL << tooLarge;
    QTest::newRow("settings, full disk") << "settings" << small << +fullDisk << -1LL << noSpace;
    QTest::newRow("first start, limit 0") << "start" << QByteArray() << +fileSizeLimit << 0LL << tooLarge;
    QTest::newRow("first start, full disk") << "start" << QByteArray() << +fullDisk << -1LL << noSpace;
    QTest::newRow("start with a damaged vault whose copy does not fit")
        << "start" << QByteArray(large).insert(1, 'x') << +fullDisk << -1LL << noSpace;
    QTest::newRow("update of an immutable pswd.tab") << "update" << small << +immutableFile << -1LL << denied;
    QTest::newRow("settings of an immutable cnfg.tab") << "settings" << small << +immutableFile << -1LL << denied;
    QTest::newRow("add with a folder named pswd.tab.bak")
        << "add" << small << +folderAtBackup << -1LL << noBackup.arg("pswd.tab");
    QTest::newRow("settings with a folder named cnfg.tab.bak")
        << "settings" << small << +folderAtBackup << -1LL << noBackup.arg("cnfg.tab");
}

void TestWriteFailures::failedChangeKeepsEveryByte()
{
    QFETCH(QString, action);
    QFETCH(QByteArray, vault);
    QFETCH(int, fault);
    QFETCH(qint64, sizeLimit);
    QFETCH(QString, reason);
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
        // The backup is a copy made before the rename that fails.
        expected.insert(target + ".bak", expected.value(target));
    }
    const auto mutableAgain = qScopeGuard([&] { QProcess::execute("chattr", {"-i", folder.filePath(target)}); });

    const auto [status, message] = run(folder, action, sizeLimit);
    QCOMPARE(status, 2); // failed
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY2(message.contains(target), qPrintable(message));
    QVERIFY2(!message.contains(QStringLiteral("sucesso")), qPrintable(message));
    // Not a byte changed, and no empty, partial or temporary file left: a failed first start leaves none at all.
    QCOMPARE(filesIn(folder), expected);

    // Once the kernel lets it write again, the same change goes through.
    disk.free();
    QProcess::execute("chattr", {"-i", folder.filePath(target)});
    QDir(folder.path()).rmdir(target + ".bak");
    QCOMPARE(run(folder, action).first, 0);
    QVERIFY(filesIn(folder) != expected);
}

QTEST_GUILESS_MAIN(TestWriteFailures)
#include "tst_writefailures.moc"
