#include "referencecodec.h"
#include "storage/settingsfile.h"
#include "storage/vault.h"
#include "support/datafolder.h"

#include <QDir>
#include <QFileInfo>
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
    void damagedVaultKeptOnce_data();
    void damagedVaultKeptOnce();
    void damagedVaultCopyFailsOnFullDisk();
    void outsideChangeIsNeverOverwritten_data();
    void outsideChangeIsNeverOverwritten();
    void settingsChangedOutsideAreReadAgain();
    void keepsPreviousFileAsBackup();
    void startWithSettingsBackup_data();
    void startWithSettingsBackup();
    void removesOnlyOwnStaleLeftovers_data();
    void removesOnlyOwnStaleLeftovers();
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

// Another program (a sync tool, a restored backup, a second copy) rewrote pswd.tab in place after it was read. An add
// is still made, to what the file holds now; an update or delete only when the entry shown is still there. Either
// way the list shows the file, and the user is told.
void TestVault::outsideChangeIsNeverOverwritten_data()
{
    QTest::addColumn<QList<QByteArray>>("outside");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("status");
    QTest::addColumn<QList<QByteArray>>("after");
    const QByteArray a = record("a"), b = record("b"), c = record("c"), d = record("d"), a2 = record("a2");
    const int merged = StorageResult::SavedOverOutsideChange, refused = StorageResult::ChangedOutside;
    QTest::newRow("entry added outside, add") << QList{a, b, c} << "add" << merged << QList{a, b, c, d};
    QTest::newRow("entry added outside, update") << QList{a, b, c} << "update" << merged << QList{a2, b, c};
    QTest::newRow("entry added outside, delete") << QList{a, b, c} << "delete" << merged << QList{b, c};
    QTest::newRow("entry shown removed outside, add") << QList{b} << "add" << merged << QList{b, d};
    QTest::newRow("entry shown removed outside, update") << QList{b} << "update" << refused << QList{b};
    QTest::newRow("entry shown removed outside, delete") << QList{b} << "delete" << refused << QList{b};
    QTest::newRow("same records written again") << QList{a, b} << "update" << int(StorageResult::Done) << QList{a2, b};
}

void TestVault::outsideChangeIsNeverOverwritten()
{
    QFETCH(QList<QByteArray>, outside);
    QFETCH(QString, action);
    QFETCH(int, status);
    QFETCH(QList<QByteArray>, after);
    DataFolder folder;
    Vault vault(folder.path());
    QVERIFY(vault.open(firstStartTime).ok() && vault.addEntry(record("a")).ok() && vault.addEntry(record("b")).ok());
    QList<QByteArray> lines;
    for (const QByteArray& line : outside) {
        lines.append(ReferenceCodec::encodeLine(line, "6333"));
    }
    const QByteArray outsideFile = ReferenceCodec::file(lines);
    folder.write("pswd.tab", outsideFile); // in place, as cp does

    const StorageResult result = action == "add"      ? vault.addEntry(record("d"))
                                 : action == "update" ? vault.replaceEntry(0, record("a"), record("a2"))
                                                      : vault.deleteEntry(0, record("a"));
    QCOMPARE(int(result.status), status);
    QCOMPARE(listed(vault.entries()), after);
    Vault reread(folder.path());
    QVERIFY(reread.open().ok());
    QCOMPARE(listed(reread.entries()), after);
    if (status == StorageResult::Done) {
        QVERIFY(result.message.isEmpty());
        return;
    }
    QVERIFY(result.message.startsWith("O arquivo pswd.tab foi alterado fora do programa"));
    QCOMPARE(result.message.contains("nada foi gravado"), status == StorageResult::ChangedOutside);
    // What the other program wrote is kept whole: in place when refused, as the backup when changed over.
    QCOMPARE(folder.read(status == StorageResult::ChangedOutside ? "pswd.tab" : "pswd.tab.bak"), outsideFile);
}

// The settings window's save is refused when cnfg.tab was changed outside; the settings are read again, and the next
// save goes through.
void TestVault::settingsChangedOutsideAreReadAgain()
{
    DataFolder folder;
    Vault vault(folder.path()), secondCopy(folder.path());
    QVERIFY(vault.open(firstStartTime).ok() && secondCopy.open().ok());
    QVERIFY(secondCopy.saveSettings("outra", true).ok());
    const QByteArray outside = folder.read("cnfg.tab");

    const StorageResult refused = vault.saveSettings("minha", false);
    QCOMPARE(refused.status, StorageResult::ChangedOutside);
    QVERIFY(refused.message.startsWith("O arquivo cnfg.tab foi alterado fora do programa"));
    QCOMPARE(folder.read("cnfg.tab"), outside);
    QCOMPARE(vault.settings().masterPassword + vault.settings().askAtStart, QByteArray("outraSim"));
    QVERIFY(vault.saveSettings("minha", false).ok());
    QCOMPARE(folder.read("cnfg.tab"), ReferenceCodec::settingsFile("6333", "minha", "N\xE3o"));
    QCOMPARE(folder.read("cnfg.tab.bak"), outside);
}

// Every rewrite keeps the file it replaces as <name>.bak, for the owner only, whatever the file allowed, or fails.
void TestVault::keepsPreviousFileAsBackup()
{
    DataFolder folder;
    Vault vault(folder.path());
    QVERIFY(vault.open(firstStartTime).ok());
    QVERIFY(!QFile::exists(folder.filePath("pswd.tab.bak")) && !QFile::exists(folder.filePath("cnfg.tab.bak")));
    for (const char* name : {"pswd.tab", "cnfg.tab"}) {
        QFile::setPermissions(folder.filePath(name), QFile::permissions(folder.filePath(name)) | QFile::ReadOther);
    }
    for (int step = 0; step < 3; ++step) {
        const QByteArray vaultBefore = folder.read("pswd.tab"), settingsBefore = folder.read("cnfg.tab");
        QVERIFY(vault.addEntry(record(QByteArray::number(step))).ok());
        QVERIFY(vault.saveSettings("senha" + QByteArray::number(step), false).ok());
        QCOMPARE(folder.read("pswd.tab.bak"), vaultBefore);
        QCOMPARE(folder.read("cnfg.tab.bak"), settingsBefore);
        for (const char* name : {"pswd.tab.bak", "cnfg.tab.bak"}) {
            QCOMPARE(int(QFile::permissions(folder.filePath(name)) & 0x7777), 0x6600);
        }
    }
    // Without a backup there is no save: a folder in its place stops it, and the file stays as it was.
    QVERIFY(QFile::remove(folder.filePath("pswd.tab.bak")) && QDir(folder.path()).mkdir("pswd.tab.bak"));
    const QByteArray before = folder.read("pswd.tab");
    const StorageResult refused = vault.addEntry(record("x"));
    QCOMPARE(refused.status, StorageResult::Failed);
    QVERIFY2(refused.message.contains("A cópia de segurança pswd.tab.bak não pôde ser guardada"),
             qPrintable(refused.message));
    QCOMPARE(folder.read("pswd.tab"), before);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), (QStringList{"cnfg.tab", "cnfg.tab.bak", "pswd.tab"}));
}

// A cnfg.tab lost or without its key while its backup holds one: no new key, nothing written, the way back told.
void TestVault::startWithSettingsBackup_data()
{
    QTest::addColumn<QByteArray>("settings"); // empty: missing
    QTest::addColumn<QByteArray>("backup");
    QTest::addColumn<bool>("opens");
    const QByteArray keyed = ReferenceCodec::settingsFile("1234", "pw", "Sim");
    const QByteArray keyless = ReferenceCodec::settingsFile("", "pw", "Sim");
    QTest::newRow("missing, backup with key") << QByteArray() << keyed << false;
    QTest::newRow("keyless, backup with key") << keyless << keyed << false;
    QTest::newRow("missing, backup keyless") << QByteArray() << keyless << true;
    QTest::newRow("whole, backup with key") << keyed << keyed << true;
}

void TestVault::startWithSettingsBackup()
{
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, backup);
    QFETCH(bool, opens);
    DataFolder folder;
    if (!settings.isEmpty()) {
        folder.write("cnfg.tab", settings);
    }
    folder.write("cnfg.tab.bak", backup);
    const QStringList before = QDir(folder.path()).entryList(QDir::Files);
    const StorageResult result = Vault(folder.path()).open(firstStartTime);
    QCOMPARE(result.ok(), opens);
    if (!opens) {
        QVERIFY2(result.message.contains("copie cnfg.tab.bak para cnfg.tab na pasta " + folder.path()),
                 qPrintable(result.message));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), before);
        QCOMPARE(folder.read("cnfg.tab"), settings);
    }
    QCOMPARE(folder.read("cnfg.tab.bak"), backup);
}

// What an interrupted save left beside pswd.tab goes at the next start, when it is surely the program's own and
// older than the last whole save; nothing else is touched.
void TestVault::removesOnlyOwnStaleLeftovers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("removed");
    QTest::newRow("own temporary file, older") << "pswd.tab.a1B2c3"
                                               << "older" << true;
    QTest::newRow("own temporary of cnfg.tab, older") << "cnfg.tab.Zz9Yy8"
                                                      << "older" << true;
    QTest::newRow("newer: a save still running") << "pswd.tab.a1B2c3"
                                                 << "newer" << false;
    QTest::newRow("five letters") << "pswd.tab.a1B2c"
                                  << "older" << false;
    QTest::newRow("seven letters") << "pswd.tab.a1B2c3d"
                                   << "older" << false;
    QTest::newRow("other characters") << "pswd.tab.a1-2c3"
                                      << "older" << false;
    QTest::newRow("backup") << "pswd.tab.bak"
                            << "older" << false;
    QTest::newRow("symbolic link") << "pswd.tab.a1B2c3"
                                   << "link" << false;
    QTest::newRow("folder") << "pswd.tab.a1B2c3"
                            << "folder" << false;
    QTest::newRow("another user's") << "pswd.tab.a1B2c3"
                                    << "stranger" << false;
}

void TestVault::removesOnlyOwnStaleLeftovers()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(bool, removed);
    DataFolder folder, elsewhere;
    QVERIFY(Vault(folder.path()).open(firstStartTime).ok());
    const QString path = folder.filePath(name);
    elsewhere.write("target", "kept");
    if (kind == "link") {
        QVERIFY(QFile::link(elsewhere.filePath("target"), path));
    } else if (kind == "folder") {
        QVERIFY(QDir(folder.path()).mkdir(name));
    } else {
        folder.write(name, "left");
    }
    if (kind == "stranger" && (geteuid() != 0 || chown(QFile::encodeName(path).constData(), 54321, 54321) != 0)) {
        QSKIP("giving a file to another user needs root");
    }
    const QDateTime saved = QFileInfo(folder.filePath("pswd.tab")).lastModified();
    QFile file(path);
    if (kind != "link" && file.open(QIODevice::ReadWrite)) {
        file.setFileTime(saved.addSecs(kind == "newer" ? 60 : -60), QFileDevice::FileModificationTime);
        file.close();
    }
    QVERIFY(Vault(folder.path()).open().ok());
    QCOMPARE(!QFileInfo(path).exists() && !QFileInfo(path).isSymLink(), removed);
    QCOMPARE(elsewhere.read("target"), QByteArray("kept"));
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
