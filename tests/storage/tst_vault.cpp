#include "referencecodec.h"
#include "storage/atomicfile.h"
#include "storage/settingsfile.h"
#include "storage/vault.h"
#include "support/datafolder.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <unistd.h>

// The model every window uses: start-up, changes to the files, and what happens when the disk says no.
class TestVault : public QObject
{
    Q_OBJECT

private slots:
    void firstStart_data();
    void firstStart();
    void readsHandWrittenVaultSorted();
    void startWithExistingFiles_data();
    void startWithExistingFiles();
    void failedWriteChangesNothing_data();
    void failedWriteChangesNothing();
    void damagedVaultKeptOnce_data();
    void damagedVaultKeptOnce();
    void damagedVaultCopyFailsOnFullDisk();
};

namespace {

const QDateTime firstStartTime(QDate(2026, 3, 6), QTime(0, 0, 7)); // key 6333

QByteArray record(const QByteArray& title)
{
    return title + "\xA7----/----/----\xA7" + "26.03.06.10.00.00\xA7login\xA7senha\xA7http://x\xA7nota";
}

QList<QByteArray> listed(const EntryList& list)
{
    QList<QByteArray> out;
    for (qsizetype i = 0; i < list.size(); ++i) {
        out.append(list.at(i));
    }
    return out;
}

} // namespace

// The installation key: day, month and two-digit year, then hour, minutes and seconds, each without leading
// zeros, added as numbers; it stays the same at the next start.
void TestVault::firstStart_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("one-digit numbers") << firstStartTime << QByteArray("6333");
    QTest::newRow("largest numbers") << QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59)) << QByteArray("547258");
    QTest::newRow("year keeps two digits") << QDateTime(QDate(2005, 1, 1), QTime(10, 0, 0)) << QByteArray("2105");
}

void TestVault::firstStart()
{
    QFETCH(QDateTime, now);
    QFETCH(QByteArray, key);
    DataFolder folder;
    QVERIFY(Vault(folder.path()).open(now).ok());
    QCOMPARE(folder.read("pswd.tab"), QByteArray("\x22\x0D\x0A\x22\x0D\x0A"));
    QCOMPARE(folder.read("cnfg.tab"), ReferenceCodec::settingsFile(key, "8046", "N\xE3o"));
    for (const char* name : {"pswd.tab", "cnfg.tab"}) { // 0600: read and write for the owner only
        QCOMPARE(int(QFile::permissions(folder.filePath(name)) & 0x7777), 0x6600);
    }
    Vault again(folder.path());
    QVERIFY(again.open(now.addDays(40)).ok());
    const Settings read = again.settings();
    QCOMPARE(read.installationKey + read.masterPassword + read.askAtStart, key + "8046N\xE3o");
}

void TestVault::readsHandWrittenVaultSorted()
{
    DataFolder folder;
    folder.write("cnfg.tab", ReferenceCodec::settingsFile("311299", "8046", "N\xE3o"));
    QByteArray body;
    for (const char* title : {"zebra", "Banco", "abacate", "banco"}) {
        body += ReferenceCodec::encodeLine(record(title), "311299") + "\r\n";
    }
    folder.write("pswd.tab", "\"" + body + "\"\r\n");
    Vault vault(folder.path());
    QVERIFY(vault.open().ok());
    QCOMPARE(listed(vault.entries()),
             (QList<QByteArray>{record("abacate"), record("Banco"), record("banco"), record("zebra")}));
}

// Start-up never replaces a file that exists; a cnfg.tab that cannot give the key ends the start.
void TestVault::startWithExistingFiles_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QByteArray>("vault");
    QTest::addColumn<bool>("opens");
    const QByteArray good = ReferenceCodec::settingsFile("1234", "pw", "Sim");
    QTest::newRow("vault of garbage") << good << QByteArray("\x01\x02 not a vault") << true;
    QTest::newRow("settings missing, vault present") << QByteArray() << QByteArray("\"\r\nabc\r\n\"\r\n") << true;
    QTest::newRow("settings of garbage") << QByteArray("\x01\x02 cnfg") << QByteArray("v") << false;
    QTest::newRow("settings key empty") << ReferenceCodec::settingsFile("", "pw", "Sim") << QByteArray("v") << false;
    QTest::newRow("settings unreadable (a folder)") << QByteArray("/") << QByteArray("v") << false;
}

void TestVault::startWithExistingFiles()
{
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, vault);
    QFETCH(bool, opens);
    DataFolder folder;
    if (settings == "/") {
        QVERIFY(QDir(folder.path()).mkdir("cnfg.tab"));
    } else if (!settings.isEmpty()) {
        folder.write("cnfg.tab", settings);
    }
    folder.write("pswd.tab", vault);
    Vault opened(folder.path());
    const StorageResult result = opened.open(firstStartTime);
    QCOMPARE(result.ok(), opens);
    QCOMPARE(folder.read("pswd.tab"), vault);
    if (settings != "/" && !settings.isEmpty()) {
        QCOMPARE(folder.read("cnfg.tab"), settings);
    }
    QVERIFY(opens || result.message.contains("cnfg.tab"));
}

// The disk fills up from the given byte on; -1: the vault's path has become a folder.
void TestVault::failedWriteChangesNothing_data()
{
    QTest::addColumn<qint64>("fullFrom");
    QTest::newRow("disk full at once") << qint64(0);
    QTest::newRow("disk full after the first chunk") << qint64(1);
    QTest::newRow("vault path is a folder") << qint64(-1);
}

void TestVault::failedWriteChangesNothing()
{
    QFETCH(qint64, fullFrom);
    const auto reset = qScopeGuard([] { AtomicFile::setChunkCheckForTesting({}); });
    DataFolder folder;
    Vault vault(folder.path());
    // A record long enough that the file takes more than one chunk to write.
    QVERIFY(vault.open(firstStartTime).ok() && vault.addEntry(record("a")).ok());
    QVERIFY(vault.addEntry(record(QByteArray(200'000, 'g'))).ok());
    const QByteArray settingsBefore = folder.read("cnfg.tab"), vaultBefore = folder.read("pswd.tab");
    const QList<QByteArray> entriesBefore = listed(vault.entries());
    // An index past the end, or another record at the index than the one shown, changes nothing either.
    QCOMPARE(vault.replaceEntry(2, record("a"), record("c")).status, StorageResult::StaleEntry);
    QCOMPARE(vault.deleteEntry(1, record("a")).status, StorageResult::StaleEntry);
    if (fullFrom < 0) {
        QVERIFY(QFile::remove(folder.filePath("pswd.tab")) && QDir(folder.path()).mkdir("pswd.tab"));
    } else {
        AtomicFile::setChunkCheckForTesting([fullFrom](qint64 written) { return written < fullFrom; });
    }
    if (fullFrom == 0) {
        QCOMPARE(vault.saveSettings("nova", true).status, StorageResult::Failed);
        QCOMPARE(vault.settings().masterPassword, QByteArray("8046"));
    }
    QCOMPARE(vault.addEntry(record("nova")).status, StorageResult::Failed);
    QCOMPARE(vault.replaceEntry(0, record("a"), record("b")).status, StorageResult::Failed);
    QCOMPARE(vault.deleteEntry(0, record("a")).status, StorageResult::Failed);
    QCOMPARE(listed(vault.entries()), entriesBefore);
    QCOMPARE(folder.read("cnfg.tab"), settingsBefore);
    if (fullFrom >= 0) {
        QCOMPARE(folder.read("pswd.tab"), vaultBefore);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary file left
    }
}

// Converted line breaks lose nothing; lines no writer makes are counted, and the original bytes are copied once to
// pswd.tab.danificado before anything could rewrite the file.
void TestVault::damagedVaultKeptOnce_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("damagedLines");
    const QByteArray one = ReferenceCodec::encodeLine(record("um"), "311299");
    const QByteArray two = ReferenceCodec::encodeLine(record("dois"), "311299");
    QTest::newRow("CR CR LF line ends") << "\"" + one + "\r\r\n" + two + "\r\r\n\"\r\r\n" << 0;
    QTest::newRow("LF line ends") << "\"" + one + "\n" + two + "\n\"\n" << 0;
    // Windows-1252 has no character 0x8F: a converter makes it U+008F, two bytes in UTF-8.
    QTest::newRow("converted to UTF-8") << "\"" + QByteArray(one).replace("\x8F", "\xC2\x8F") + "\r\n" + two +
                                               "\r\n\"\r\n"
                                        << 1;
    QTest::newRow("a line one byte short") << "\"" + one.chopped(1) + "\r\n" + two + "\r\n\"\r\n" << 1;
    QByteArray random;
    QRandomGenerator generator(7);
    for (int line = 0; line < 30; ++line) {
        random += "\x01";
        for (int i = 0; i < 100; ++i) {
            random += char(generator.bounded(14, 256));
        }
        random += "\n";
    }
    QTest::newRow("random bytes") << random.replace('"', 'x').replace(' ', 'x') << 30;
}

void TestVault::damagedVaultKeptOnce()
{
    QFETCH(QByteArray, file);
    QFETCH(int, damagedLines);
    DataFolder folder;
    folder.write("cnfg.tab", ReferenceCodec::settingsFile("311299", "8046", "N\xE3o"));
    folder.write("pswd.tab", file);
    const QString copy = folder.filePath("pswd.tab.danificado");
    for (const QByteArray& copied : {file, QByteArray("an earlier copy")}) {
        Vault vault(folder.path());
        const StorageResult result = vault.open();
        QVERIFY(result.ok());
        QCOMPARE(folder.read("pswd.tab"), file);
        if (damagedLines == 0) {
            QCOMPARE(result.message, QString());
            QCOMPARE(listed(vault.entries()), (QList<QByteArray>{record("dois"), record("um")}));
            QVERIFY(!QFileInfo::exists(copy));
            return;
        }
        QVERIFY2(result.message.contains(QString("tem %1 linha").arg(damagedLines)), qPrintable(result.message));
        QVERIFY(result.message.contains(copied == file ? "copiado, sem nenhuma alteração" : "guardada antes"));
        QVERIFY(result.message.contains(copy));
        QCOMPARE(folder.read("pswd.tab.danificado"), copied);
        QCOMPARE(int(QFile::permissions(copy) & 0x7777), 0x6600);
        folder.write("pswd.tab.danificado", "an earlier copy"); // never replaced by the next start
    }
}

// The copy does not fit on the disk: nothing is left half-written and the start ends, so no save can lose lines.
void TestVault::damagedVaultCopyFailsOnFullDisk()
{
    DataFolder folder;
    if (::geteuid() != 0 ||
        QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k,mode=700", "tmpfs", folder.path()}) != 0) {
        QSKIP("Mounting a small tmpfs needs root.");
    }
    const auto unmount = qScopeGuard([&folder] { QProcess::execute("umount", {folder.path()}); });
    folder.write("cnfg.tab", ReferenceCodec::settingsFile("311299", "8046", "N\xE3o"));
    const QByteArray damaged(40'000, 'x');
    folder.write("pswd.tab", damaged);
    const StorageResult result = Vault(folder.path()).open();
    QVERIFY2(result.status == StorageResult::Failed && result.message.contains("1 linha danificada") &&
                 result.message.contains("pswd.tab.danificado"),
             qPrintable(result.message));
    QVERIFY(!QFileInfo::exists(folder.filePath("pswd.tab.danificado")));
    QCOMPARE(folder.read("pswd.tab"), damaged);
}

QTEST_GUILESS_MAIN(TestVault)
#include "tst_vault.moc"
