#include "referencecodec.h"
#include "support/vaultfixture.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

// The model every window uses, seen in the data files: start-up, every change, files changed by others; and what its
// records are: Windows-1252 text behind the windows' Unicode, kept in the list's hidden order.
class TestVault : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstStart_data();
    void firstStart();
    void lastSettingsRecordWins();
    void startNeverReplacesAFile_data();
    void startNeverReplacesAFile();
    void changes_data();
    void changes();
    void settingsChangedOutsideAreReadAgain();
    void vaultLargerThanAPiece();
    void damagedVaultKeptOnce_data();
    void damagedVaultKeptOnce();
    void windows1252();
    void order_data();
    void order();
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
    QCOMPARE(folder.read("pswd.tab"), QByteArray("\"\r\n\"\r\n"));
    QCOMPARE(folder.read("cnfg.tab"), ReferenceCodec::settingsFile(key, "8046", "N\xE3o"));
    for (const char* name : {"pswd.tab", "cnfg.tab"}) { // 0600: read and write for the owner only
        QCOMPARE(int(QFile::permissions(folder.filePath(name)) & 0x7777), 0x6600);
    }
    Vault again(folder.path());
    QVERIFY(again.open(now.addDays(40)).ok() && again.addEntry(record("Banco")).ok());
    QCOMPARE(folder.read("pswd.tab"), ReferenceCodec::file({record("Banco")}, key));
}

// A cnfg.tab written twice over, or edited by hand: the last line that holds a record gives the key that reads and
// writes pswd.tab and the password the login asks for.
void TestVault::lastSettingsRecordWins()
{
    VaultFixture f;
    f.folder.write("cnfg.tab",
                   ReferenceCodec::file({"1111\xA7primeira\xA7N\xE3o", "2222\xA7segunda\xA7Sim", ""}, "7305"));
    f.folder.write("pswd.tab", ReferenceCodec::file({record("Banco")}, "2222"));
    QVERIFY(f.vault.open().ok());
    QCOMPARE(f.vault.settings().masterPassword, QByteArray("segunda"));
    QVERIFY(f.vault.settings().asksPasswordAtStart());
    QCOMPARE(f.entries(), QList<QByteArray>{record("Banco")});
    QVERIFY(f.vault.addEntry(record("Casa")).ok());
    QCOMPARE(f.file(), ReferenceCodec::file({record("Banco"), record("Casa")}, "2222"));
}

// Start-up never replaces a file that exists, whatever it holds; a cnfg.tab that gives no key ends the start with
// nothing written, and names the way back when its backup holds one.
void TestVault::startNeverReplacesAFile_data()
{
    QTest::addColumn<QByteArray>("settings"); // empty: missing
    QTest::addColumn<QByteArray>("backup");   // empty: none
    QTest::addColumn<QString>("refusal");     // empty: the start goes on
    const QByteArray keyed = ReferenceCodec::settingsFile("1234", "pw", "Sim");
    const QByteArray keyless = ReferenceCodec::settingsFile("", "pw", "Sim");
    const QString wayBack = "copie cnfg.tab.bak para cnfg.tab na pasta ";
    QTest::newRow("whole settings, vault of garbage") << keyed << QByteArray() << QString();
    QTest::newRow("settings missing, backup without key: a new key") << QByteArray() << keyless << QString();
    QTest::newRow("settings of garbage") << QByteArray("\x01\x02 cnfg") << QByteArray() << "cnfg.tab";
    QTest::newRow("settings without a key") << keyless << QByteArray() << "cnfg.tab";
    QTest::newRow("settings missing, backup with key") << QByteArray() << keyed << wayBack;
    QTest::newRow("settings without a key, backup with key") << keyless << keyed << wayBack;
}

void TestVault::startNeverReplacesAFile()
{
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, backup);
    QFETCH(QString, refusal);
    DataFolder folder;
    if (!settings.isEmpty()) {
        folder.write("cnfg.tab", settings);
    }
    if (!backup.isEmpty()) {
        folder.write("cnfg.tab.bak", backup);
    }
    const QByteArray vault = "\x01\x02 not a vault";
    folder.write("pswd.tab", vault);
    const QStringList before = QDir(folder.path()).entryList(QDir::Files);
    const StorageResult result = Vault(folder.path()).open(firstStartTime);
    QCOMPARE(result.ok(), refusal.isEmpty());
    QCOMPARE(folder.read("pswd.tab"), vault);
    QCOMPARE(folder.read("cnfg.tab.bak"), backup);
    if (!refusal.isEmpty()) {
        QVERIFY2(result.message.contains(refusal), qPrintable(result.message));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), before);
    }
    QVERIFY(settings.isEmpty() || folder.read("cnfg.tab") == settings);
}

// Each change rewrites pswd.tab: an added entry last, a replaced one in its line, a deleted one an empty line. When
// another program (a sync tool, a restored backup, a second copy) rewrote the file after it was read, an add is
// still made, to what the file holds now, an update or delete only when the entry shown is still there; either way
// the list shows the file, and the user is told. The file replaced is kept as pswd.tab.bak, for the owner only.
void TestVault::changes_data()
{
    QTest::addColumn<QList<QByteArray>>("outside"); // empty: no change outside
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("status");
    QTest::addColumn<QList<QByteArray>>("lines");
    // "0" sorts before "a": added outside, it moves the entry shown down by one.
    const QByteArray a = record("a"), b = record("b"), n = record("0"), d = record("d"), a2 = record("a2");
    const int done = StorageResult::Done, merged = StorageResult::SavedOverOutsideChange,
              refused = StorageResult::ChangedOutside;
    using Lines = QList<QByteArray>;
    QTest::newRow("add") << Lines{} << "add" << done << Lines{a, b, d};
    QTest::newRow("update") << Lines{} << "update" << done << Lines{a2, b, ""};
    QTest::newRow("delete") << Lines{} << "delete" << done << Lines{"", b, ""};
    QTest::newRow("entry added outside, add") << Lines{n, a, b} << "add" << merged << Lines{n, a, b, d};
    QTest::newRow("entry added outside, update") << Lines{n, a, b} << "update" << merged << Lines{n, a2, b, ""};
    QTest::newRow("entry added outside, delete") << Lines{n, a, b} << "delete" << merged << Lines{n, "", b, ""};
    QTest::newRow("entry shown removed outside, add") << Lines{b} << "add" << merged << Lines{b, d};
    QTest::newRow("entry shown removed outside, update") << Lines{b} << "update" << refused << Lines{b};
    QTest::newRow("entry shown removed outside, delete") << Lines{b} << "delete" << refused << Lines{b};
    QTest::newRow("same records written again") << Lines{a, b} << "update" << done << Lines{a2, b, ""};
}

void TestVault::changes()
{
    QFETCH(QList<QByteArray>, outside);
    QFETCH(QString, action);
    QFETCH(int, status);
    QFETCH(QList<QByteArray>, lines);
    VaultFixture f;
    f.addRecords({record("a"), record("b")});
    const QByteArray key = f.vault.settings().installationKey;
    if (!outside.isEmpty()) {
        f.folder.write("pswd.tab", ReferenceCodec::file(outside, key)); // in place, as cp does
    }
    QFile::setPermissions(f.folder.filePath("pswd.tab"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    const QByteArray before = f.file();

    const StorageResult result = action == "add"      ? f.vault.addEntry(record("d"))
                                 : action == "update" ? f.vault.replaceEntry(0, record("a"), record("a2"))
                                                      : f.vault.deleteEntry(0, record("a"));
    QCOMPARE(int(result.status), status);
    QCOMPARE(f.file(), ReferenceCodec::file(lines, key));
    lines.removeAll(QByteArray());
    QCOMPARE(f.entries(), lines);
    QCOMPARE(result.message.isEmpty(), status == StorageResult::Done);
    QVERIFY(status == StorageResult::Done || result.message.startsWith("O arquivo pswd.tab foi alterado fora"));
    if (status != StorageResult::ChangedOutside) {
        QCOMPARE(f.folder.read("pswd.tab.bak"), before);
        QCOMPARE(int(QFile::permissions(f.folder.filePath("pswd.tab.bak")) & 0x7777), 0x6600);
    }
}

// The settings window's save is refused when cnfg.tab was changed outside; the settings are read again, and the next
// save goes through, keeping what the other program wrote as the backup.
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

// A vault of more than a megabyte, more than one piece of reading or writing: lines across two pieces are read
// whole, and written once.
void TestVault::vaultLargerThanAPiece()
{
    VaultFixture f;
    QList<QByteArray> records;
    for (int n = 1; n <= 4000; ++n) {
        records.append(ReferenceCodec::crashEntry(n));
    }
    const QByteArray key = f.vault.settings().installationKey;
    f.folder.write("pswd.tab", ReferenceCodec::file(records, key));
    QCOMPARE(f.vault.open().message, QString());
    QCOMPARE(f.entries(), records);
    records.append(ReferenceCodec::crashEntry(4001));
    QVERIFY(f.vault.addEntry(records.last()).ok());
    QCOMPARE(f.file(), ReferenceCodec::file(records, key));
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
    QTest::newRow("converted to UTF-8") << "\"" + QByteArray(one).replace("\x8F", "\xC2\x8F") + "\r\n" + two + "\"\r\n"
                                        << 1;
    QTest::newRow("a line one byte short") << "\"" + one.chopped(1) + "\r\n" + two + "\"\r\n" << 1;
    QTest::newRow("both lines converted to UTF-8")
        << QByteArray("\"" + one + "\r\n" + two + "\"\r\n").replace("\x8F", "\xC2\x8F") << 2;
}

void TestVault::damagedVaultKeptOnce()
{
    QFETCH(QByteArray, file);
    QFETCH(int, damagedLines);
    VaultFixture f;
    f.folder.write("cnfg.tab", ReferenceCodec::settingsFile("311299", "8046", "N\xE3o"));
    f.folder.write("pswd.tab", file);
    const QString copy = f.folder.filePath("pswd.tab.danificado");
    for (const QByteArray& copied : {file, QByteArray("an earlier copy")}) {
        const StorageResult result = f.vault.open();
        QVERIFY(result.ok());
        QCOMPARE(f.file(), file);
        if (damagedLines == 0) {
            QCOMPARE(result.message, QString());
            QCOMPARE(f.entries(), (QList<QByteArray>{record("dois"), record("um")}));
            QVERIFY(!QFileInfo::exists(copy));
            return;
        }
        QVERIFY2(result.message.contains(QString("tem %1 linha").arg(damagedLines)), qPrintable(result.message));
        QVERIFY(result.message.contains(copied == file ? "copiado, sem nenhuma alteração" : "guardada antes"));
        QVERIFY(result.message.contains(copy));
        QCOMPARE(f.folder.read("pswd.tab.danificado"), copied);
        QCOMPARE(int(QFile::permissions(copy) & 0x7777), 0x6600);
        f.folder.write("pswd.tab.danificado", "an earlier copy"); // never replaced by the next start
    }
}

// The C locale, where a plain byte comparison would put "Zed" before "abc".
void TestVault::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

// Every byte a record holds comes back from the text a window shows; text that no byte holds is refused, marked "?".
void TestVault::windows1252()
{
    QByteArray every;
    for (int code = 0; code < 256; ++code) {
        every.append(char(code));
    }
    bool ok = false;
    QCOMPARE(Windows1252::fromUnicode(Windows1252::toUnicode(every), &ok), every);
    QVERIFY(ok);
    QCOMPARE(Windows1252::toUnicode("\x80\x8F\x9F"), QStringLiteral("€\u008FŸ"));
    QCOMPARE(Windows1252::fromUnicode(QStringLiteral("a\u0080b\U0001F511"), &ok), QByteArray("a?b??"));
    QVERIFY(!ok && !Windows1252::canEncode(QChar(0x80)) && Windows1252::canEncode(QChar(0x20AC)));
}

// Each row in its expected order: alphabetical by the whole record without regard to letter case, accents after
// the plain letter, texts that differ only in letter case by their bytes (capitals first).
void TestVault::order_data()
{
    QTest::addColumn<QList<QByteArray>>("expected");
    QTest::newRow("letter case ignored") << QList<QByteArray>{"Abacaxi", "banana", "Casa", "zebra"};
    QTest::newRow("equal titles by the following fields") << QList<QByteArray>{"X\xA7x", "x\xA7y", "x\xA7Z", "x\xA7z"};
    QTest::newRow("accented letters in place") << QList<QByteArray>{"apfel", "\xC4rger", "\xE9lan", "emu", "Zoo"};
    QTest::newRow("case and accent ties") << QList<QByteArray>{"Elan", "elan", "\xC9lan", "\xE9lan", "elan\xA7"};
    QTest::newRow("duplicates") << QList<QByteArray>{"a", "a", "B", "b", "b"};
}

// Among records that sort before them, read in order, reversed, shuffled or with any one record out of place, the
// list is the same; adding, replacing and removing in place keep it so.
void TestVault::order()
{
    QFETCH(QList<QByteArray>, expected);
    QList<QByteArray> sorted;
    for (int number = 10; number < 40; ++number) {
        sorted.append(QByteArray::number(number) + "\xA7x");
    }
    sorted += expected;
    QList<QList<QByteArray>> arrangements{sorted, sorted, sorted};
    std::reverse(arrangements[1].begin(), arrangements[1].end());
    std::shuffle(arrangements[2].begin(), arrangements[2].end(), QRandomGenerator(1));
    for (qsizetype from = 0; from < sorted.size(); ++from) {
        for (qsizetype to = 0; to < sorted.size(); ++to) {
            arrangements.append(sorted);
            arrangements.last().move(from, to);
        }
    }
    for (const QList<QByteArray>& arrangement : arrangements) {
        QCOMPARE(listed(EntryList(arrangement + QList<QByteArray>{"", "   "})), sorted);
    }
    for (qsizetype missing = 0; missing < sorted.size(); ++missing) {
        QList<QByteArray> others = sorted;
        const QByteArray record = others.takeAt(missing);
        EntryList list(others);
        list.apply(list.adding(record));
        QCOMPARE(listed(list), sorted);
        for (qsizetype index = 0; index < others.size(); ++index) {
            EntryList changed(others);
            changed.apply(changed.replacing(index, record));
            QList<QByteArray> expectedAfter = sorted;
            expectedAfter.removeOne(others.at(index));
            QCOMPARE(listed(changed), expectedAfter);
        }
        list.apply(list.replacing(missing, "  "));
        list.apply(list.adding(" "));
        QCOMPARE(listed(list), others);
    }
}

QTEST_GUILESS_MAIN(TestVault)
#include "tst_vault.moc"
