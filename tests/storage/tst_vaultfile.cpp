#include "referencecodec.h"
#include "storage/entrylist.h"
#include "storage/linecodec.h"
#include "storage/vaultfile.h"

#include <QTest>

// The byte layout of pswd.tab: encoding, whole-file writes and reading, including files that do not follow it.
class TestVaultFile : public QObject
{
    Q_OBJECT

private slots:
    void encodesAsDocumented_data();
    void encodesAsDocumented();
    void oneCharacterByHand();
    void everyCodeRoundTrips();
    void emptyVault();
    void addToEmptyVault();
    void rewrites_data();
    void rewrites();
    void readsHandWrittenFile();
    void garbageNeverStopsReading_data();
    void garbageNeverStopsReading();
    void shortLastGroup();
    void wrongKeyStillListsEveryRecord();
};

namespace {

const QByteArray key = "547258";

QByteArray record(const QByteArray& title, const QByteArray& description = "nota")
{
    return title +
           "\xA7"
           "----/----/----\xA7"
           "26.03.06.10.00.00\xA7"
           "login\xA7"
           "senha\xA7"
           "https://exemplo.com\xA7" +
           description;
}

EntryList listOf(const QList<QByteArray>& records)
{
    return EntryList(records);
}

} // namespace

void TestVaultFile::encodesAsDocumented_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QByteArray>("key");

    QTest::newRow("empty record") << QByteArray() << QByteArray("1234");
    QTest::newRow("one character") << QByteArray("x") << QByteArray("9");
    QTest::newRow("full record") << record("Banco") << key;
    QTest::newRow("quotes, separators, line-break marks") << QByteArray("\"a\"\xA7\xA5\"") << QByteArray("12");
    QTest::newRow("CR LF inside a record") << QByteArray("a\r\nb\nc\r") << QByteArray("7305");
    QTest::newRow("longer than twice the key") << QByteArray(50, '\xFF') << QByteArray("42");
    QTest::newRow("empty key") << QByteArray("abc") << QByteArray();
}

void TestVaultFile::encodesAsDocumented()
{
    QFETCH(QByteArray, record);
    QFETCH(QByteArray, key);

    const QByteArray line = LineCodec::encode(record, key);
    QCOMPARE(line, ReferenceCodec::encodeLine(record, key));
    QCOMPARE(line.size(), record.size() * 8);
    QVERIFY(std::all_of(line.begin(), line.end(), [](char c) { return c == '\x7F' || c == '\x8F'; }));
    QCOMPARE(LineCodec::decode(line, key), record);
}

void TestVaultFile::oneCharacterByHand()
{
    // "A" under key "1": 65 + 49 + 64 = 178 = 1011 0010.
    QCOMPARE(LineCodec::encode("A", "1"), QByteArray("\x8F\x7F\x8F\x8F\x7F\x7F\x8F\x7F"));
    QCOMPARE(LineCodec::decode("\x8F\x7F\x8F\x8F\x7F\x7F\x8F\x7F", "1"), QByteArray("A"));
}

void TestVaultFile::everyCodeRoundTrips()
{
    QByteArray all;
    for (int code = 0; code < 256; ++code) {
        all.append(char(code));
    }
    for (const QByteArray key : {"1", "12", "7305", "547258"}) {
        const QByteArray file = VaultFile::withAddedRecord(EntryList(), all, key);
        QCOMPARE(VaultFile::decode(file, key), QList<QByteArray>{all});
    }
}

void TestVaultFile::emptyVault()
{
    QCOMPARE(VaultFile::emptyFile(), QByteArray("\x22\x0D\x0A\x22\x0D\x0A"));
    QVERIFY(VaultFile::decode(VaultFile::emptyFile(), key).isEmpty());
}

void TestVaultFile::addToEmptyVault()
{
    const QByteArray added = record("Banco");
    const QByteArray file = VaultFile::withAddedRecord(EntryList(), added, key);
    QCOMPARE(file.size(), 1 + 8 * added.size() + 1 + 2);
    QCOMPARE(file, "\"" + ReferenceCodec::encodeLine(added, key) + "\"\r\n");
    QCOMPARE(file.count('\n'), 1);
    QCOMPARE(VaultFile::decode(file, key), QList<QByteArray>{added});
}

void TestVaultFile::rewrites_data()
{
    QTest::addColumn<QList<QByteArray>>("entries");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<QList<QByteArray>>("expectedLines");

    const QByteArray a = record("Alfa"), b = record("Beta"), c = record("Gama"), d = record("Delta");
    QTest::newRow("delete the only entry") << QList<QByteArray>{a} << 0 << QByteArray() << QList<QByteArray>{"", ""};
    QTest::newRow("delete the first") << QList<QByteArray>{a, b, c} << 0 << QByteArray()
                                      << QList<QByteArray>{"", b, c, ""};
    QTest::newRow("delete in the middle")
        << QList<QByteArray>{a, b, c} << 1 << QByteArray() << QList<QByteArray>{a, "", c, ""};
    QTest::newRow("delete the last") << QList<QByteArray>{a, b, c} << 2 << QByteArray()
                                     << QList<QByteArray>{a, b, "", ""};
    QTest::newRow("replace in the middle") << QList<QByteArray>{a, b, c} << 1 << d << QList<QByteArray>{a, d, c, ""};
    QTest::newRow("replace the only entry") << QList<QByteArray>{a} << 0 << d << QList<QByteArray>{d, ""};
}

void TestVaultFile::rewrites()
{
    QFETCH(QList<QByteArray>, entries);
    QFETCH(int, index);
    QFETCH(QByteArray, replacement);
    QFETCH(QList<QByteArray>, expectedLines);

    const EntryList list = listOf(entries);
    QCOMPARE(list.size(), entries.size());
    QList<QByteArray> encodedLines;
    for (const QByteArray& line : expectedLines) {
        encodedLines.append(ReferenceCodec::encodeLine(line, key));
    }
    const QByteArray file = VaultFile::withReplacedRecord(list, index, replacement, key);
    QCOMPARE(file, ReferenceCodec::file(encodedLines));

    // Reading skips the empty line left by a delete.
    QList<QByteArray> expectedRecords = expectedLines;
    expectedRecords.removeAll(QByteArray());
    QCOMPARE(VaultFile::decode(file, key), expectedRecords);
}

void TestVaultFile::readsHandWrittenFile()
{
    // A file another program wrote: in no particular order, one entry with line breaks in its description.
    const QList<QByteArray> records = {record("zebra"), record("Banco", "linha 1\xA5linha 2"), record("casa"),
                                       record("banco")};
    QByteArray file = "\"";
    for (const QByteArray& r : records) {
        file += ReferenceCodec::encodeLine(r, key) + "\r\n";
    }
    file += "\"\r\n";

    const QList<QByteArray> read = VaultFile::decode(file, key);
    QCOMPARE(read, records);
    const EntryList sorted(read);
    QCOMPARE(sorted.size(), 4);
    // Equal titles are ordered by the fields that follow: "linha" before "nota".
    QCOMPARE(sorted.at(0), record("Banco", "linha 1\xA5linha 2"));
    QCOMPARE(sorted.at(1), record("banco"));
    QCOMPARE(sorted.at(2), record("casa"));
    QCOMPARE(sorted.at(3), record("zebra"));
}

void TestVaultFile::garbageNeverStopsReading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<QByteArray>>("expected");

    const QByteArray r = record("Banco");
    const QByteArray line = ReferenceCodec::encodeLine(r, key);
    QTest::newRow("empty file") << QByteArray() << QList<QByteArray>{};
    QTest::newRow("lone quote") << QByteArray("\"") << QList<QByteArray>{};
    QTest::newRow("quotes only") << QByteArray("\"\"\r\n") << QList<QByteArray>{};
    QTest::newRow("no closing quote") << "\"" + line << QList<QByteArray>{r};
    QTest::newRow("no final line break") << "\"" + line + "\"" << QList<QByteArray>{r};
    QTest::newRow("LF line ends") << "\"\n" + line + "\n" + line + "\n\"\n" << QList<QByteArray>{r, r};
    QTest::newRow("spaces around a line") << "\"\r\n   " + line + "  \r\n\"\r\n" << QList<QByteArray>{r};
    QTest::newRow("quotes inside a line") << "\"" + line.left(8) + "\"\"" + line.mid(8) + "\"\r\n"
                                          << QList<QByteArray>{r};
    QTest::newRow("empty lines between") << "\"\r\n\r\n" + line + "\r\n\r\n\r\n" + line + "\"\r\n"
                                         << QList<QByteArray>{r, r};
    QTest::newRow("text after the closing quote") << "\"" + line + "\"\r\n" + line + "\r\n" << QList<QByteArray>{r, r};
}

void TestVaultFile::garbageNeverStopsReading()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<QByteArray>, expected);
    QCOMPARE(VaultFile::decode(file, key), expected);
}

void TestVaultFile::shortLastGroup()
{
    // Bytes other than the two markers are 0 bits; a last group of fewer than eight is a shorter binary number.
    const QByteArray line = ReferenceCodec::encodeLine("A", key);
    QByteArray withTail = line + "\x8F\x7F\x8F";
    const QByteArray decoded = LineCodec::decode(withTail, key);
    QCOMPARE(decoded.size(), 2);
    QCOMPARE(decoded.back(), 'A');
    // The tail 101 = 5 was the second enciphered character: 5 - '4' - 64, wrapped.
    QCOMPARE(static_cast<unsigned char>(decoded.front()), (5 - '4' - 64 + 256) % 256);

    QByteArray foreign = line;
    foreign[0] = 'X'; // the top bit of the first character is lost, the rest stays
    const QByteArray changed = LineCodec::decode(foreign, key);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(static_cast<unsigned char>(changed[0]), static_cast<unsigned char>('A') ^ 0x80);

    QCOMPARE(LineCodec::decode(QByteArray("\x8F"), key).size(), 1);
    QCOMPARE(LineCodec::decode(QByteArray(7, '\0'), key).size(), 1);
}

void TestVaultFile::wrongKeyStillListsEveryRecord()
{
    const QList<QByteArray> records = {record("um"), record("dois"), record("tres")};
    QByteArray body;
    for (const QByteArray& r : records) {
        body += ReferenceCodec::encodeLine(r, key) + "\r\n";
    }
    const QList<QByteArray> read = VaultFile::decode("\"" + body + "\"\r\n", "1111");
    QCOMPARE(read.size(), records.size());
    for (int i = 0; i < read.size(); ++i) {
        QCOMPARE(read[i].size(), records[i].size());
        QVERIFY(read[i] != records[i]);
    }
    // Garbage is still sorted and shown without losing anything.
    QCOMPARE(EntryList(read).size(), records.size());
}

QTEST_GUILESS_MAIN(TestVaultFile)
#include "tst_vaultfile.moc"
