#include "referencecodec.h"
#include "storage/entrylist.h"
#include "storage/linecodec.h"
#include "storage/vaultfile.h"

#include <QTest>

// The byte layout of pswd.tab (whole-file writes against the reference encoder, reading files that do not follow
// it) and the order of the entry list.
class TestVaultFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sorts_data();
    void sorts();
    void writes_data();
    void writes();
    void garbageNeverStopsReading_data();
    void garbageNeverStopsReading();
};

namespace {

const QByteArray key = "547258";
const QByteArray a = "Alfa\xA7----/----/----\xA7x\xA7y", b = "Beta\xA7z", c = "Gama\xA7\"\xA5\"", d = "Delta";

} // namespace

// The C locale, where a plain byte comparison would put "Zed" before "abc".
void TestVaultFile::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

// Alphabetical by title without regard to letter case, ties by the following fields; adding one record keeps the
// order of sorting everything again.
void TestVaultFile::sorts_data()
{
    QTest::addColumn<QList<QByteArray>>("records");
    QTest::addColumn<QList<QByteArray>>("expected");
    QTest::newRow("letter case ignored") << QList<QByteArray>{"zebra", "Abacaxi", "banana", "Casa"}
                                         << QList<QByteArray>{"Abacaxi", "banana", "Casa", "zebra"};
    QTest::newRow("equal titles by the following fields")
        << QList<QByteArray>{"x\xA7z", "x\xA7y", "X\xA7x"} << QList<QByteArray>{"X\xA7x", "x\xA7y", "x\xA7z"};
    QTest::newRow("accented letters in place") << QList<QByteArray>{"\xC4rger", "Zoo", "apfel", "\xE9lan", "emu"}
                                               << QList<QByteArray>{"apfel", "\xC4rger", "\xE9lan", "emu", "Zoo"};
}

void TestVaultFile::sorts()
{
    QFETCH(QList<QByteArray>, records);
    QFETCH(QList<QByteArray>, expected);
    const QByteArray last = records.takeLast();
    for (const EntryList& list : {EntryList(records + QList<QByteArray>{last}), EntryList(records).withAdded(last)}) {
        QCOMPARE(list.size(), expected.size());
        for (qsizetype i = 0; i < list.size(); ++i) {
            QCOMPARE(list.at(i), expected.at(i));
        }
    }
}

// Index -1 adds the record; an empty replacement deletes, leaving an empty line in place of the record.
void TestVaultFile::writes_data()
{
    QTest::addColumn<QList<QByteArray>>("entries");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::newRow("add to an empty vault") << QList<QByteArray>{} << -1 << a << QList<QByteArray>{a};
    QTest::newRow("add after the others") << QList<QByteArray>{c, a} << -1 << b << QList<QByteArray>{a, c, b};
    QTest::newRow("delete the only entry") << QList<QByteArray>{a} << 0 << QByteArray() << QList<QByteArray>{"", ""};
    QTest::newRow("delete in the middle")
        << QList<QByteArray>{a, b, c} << 1 << QByteArray() << QList<QByteArray>{a, "", c, ""};
    QTest::newRow("replace in the middle") << QList<QByteArray>{a, b, c} << 1 << d << QList<QByteArray>{a, d, c, ""};
}

void TestVaultFile::writes()
{
    QFETCH(QList<QByteArray>, entries);
    QFETCH(int, index);
    QFETCH(QByteArray, record);
    QFETCH(QList<QByteArray>, lines);
    const EntryList list(entries);
    const QByteArray file = index < 0 ? VaultFile::withAddedRecord(list, record, key)
                                      : VaultFile::withReplacedRecord(list, index, record, key);
    QList<QByteArray> encoded;
    for (const QByteArray& line : lines) {
        encoded.append(ReferenceCodec::encodeLine(line, key));
    }
    QCOMPARE(file, ReferenceCodec::file(encoded));
    lines.removeAll(QByteArray());
    QCOMPARE(VaultFile::decode(file, key), lines);
}

// Every row is read whole and in pieces of three bytes; damaged are the lines no writer makes.
void TestVaultFile::garbageNeverStopsReading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<QByteArray>>("expected");
    QTest::addColumn<int>("damaged");
    const QByteArray line = ReferenceCodec::encodeLine(a, "5");
    QByteArray spaced = line; // a 0 bit made a space: the same record, from a damaged line
    spaced[spaced.indexOf('\x7F', 8)] = ' ';
    QTest::newRow("empty file") << QByteArray() << QList<QByteArray>{} << 0;
    QTest::newRow("no closing quote") << "\"" + line << QList<QByteArray>{a} << 0;
    QTest::newRow("LF line ends") << "\"\n" + line + "\n" + line + "\n\"\n" << QList<QByteArray>{a, a} << 0;
    QTest::newRow("CR CR LF line ends") << "\"" + line + "\r\r\n\r\r\n" + line + "\"\r\r\n"
                                        << QList<QByteArray>{a, a} << 0;
    QTest::newRow("quotes inside a line") << "\"" + line.left(8) + "\"\"" + line.mid(8) + "\"\r\n"
                                          << QList<QByteArray>{a} << 0;
    QTest::newRow("spaces around a line") << "\"  " + line + " \r\n\"\r\n" << QList<QByteArray>{a} << 0;
    QTest::newRow("text after the closing quote") << "\"" + line + "\"\r\n" + line + "\r\n"
                                                  << QList<QByteArray>{a, a} << 0;
    QTest::newRow("bytes other than the markers are 0 bits")
        << QByteArray("\"\r\nZ\x8FZZZZZZ\r\n\"\r\n") << QList<QByteArray>{QByteArray(1, char(64 - '5' - 64))} << 1;
    QTest::newRow("a space inside a line") << "\"" + spaced + "\r\n\"\r\n" << QList<QByteArray>{a} << 1;
    QTest::newRow("short last group") << "\"" + ReferenceCodec::encodeLine("A", "5") + "\x8F\x7F\x8F\r\n\"\r\n"
                                      << QList<QByteArray>{QByteArray(1, char(5 - '5' - 64)) + "A"} << 1;
    QTest::newRow("one marker too many, then a sound line")
        << "\"" + line + "\x7F\r\n" + line + "\"\r\n"
        << QList<QByteArray>{QByteArray(1, char(0 - '5' - 64)) + a, a} << 1;
}

void TestVaultFile::garbageNeverStopsReading()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<QByteArray>, expected);
    QFETCH(int, damaged);
    for (const qsizetype piece : {file.size() + 1, qsizetype(3)}) {
        LineCodec::FileDecoder decoder("5");
        for (qsizetype at = 0; at < file.size(); at += piece) {
            decoder.feed(QByteArrayView(file).sliced(at, qMin(piece, file.size() - at)));
        }
        QCOMPARE(decoder.finish(), expected);
        QCOMPARE(decoder.damagedLines(), damaged);
    }
}

QTEST_GUILESS_MAIN(TestVaultFile)
#include "tst_vaultfile.moc"
