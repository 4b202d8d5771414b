#include "storage/entrylist.h"
#include "storage/windows1252.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

// What the records are: Windows-1252 text behind the windows' Unicode, kept in the list's hidden order.
class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windows1252();
    void order_data();
    void order();
};

namespace {

QList<QByteArray> listed(const EntryList& list)
{
    QList<QByteArray> out;
    for (qsizetype i = 0; i < list.size(); ++i) {
        out.append(list.at(i));
    }
    return out;
}

} // namespace

// The C locale, where a plain byte comparison would put "Zed" before "abc".
void TestRecords::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

// Every byte a record holds comes back from the text a window shows; text that no byte holds is refused, marked "?".
void TestRecords::windows1252()
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
void TestRecords::order_data()
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
void TestRecords::order()
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

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
