#include "storage/entrylist.h"

#include <QTest>

#include <algorithm>

// The order of the entry list: alphabetical by title without regard to letter case, whatever the locale.
class TestEntryList : public QObject
{
    Q_OBJECT

private slots:
    void sorts_data();
    void sorts();
    void changesKeepTheOrder_data();
    void changesKeepTheOrder();
    void indexBounds();
};

void TestEntryList::sorts_data()
{
    QTest::addColumn<QList<QByteArray>>("records");
    QTest::addColumn<QList<QByteArray>>("expected");

    QTest::newRow("letter case ignored") << QList<QByteArray>{"zebra", "Abacaxi", "banana", "Casa"}
                                         << QList<QByteArray>{"Abacaxi", "banana", "Casa", "zebra"};
    QTest::newRow("case variants together, before a later letter")
        << QList<QByteArray>{"b", "ab", "AB", "Ab"} << QList<QByteArray>{"AB", "Ab", "ab", "b"};
    QTest::newRow("equal titles by the following fields") << QList<QByteArray>{"x\xA7"
                                                                               "2",
                                                                               "x\xA7"
                                                                               "1",
                                                                               "X\xA7"
                                                                               "0"}
                                                          << QList<QByteArray>{"X\xA7"
                                                                               "0",
                                                                               "x\xA7"
                                                                               "1",
                                                                               "x\xA7"
                                                                               "2"};
    QTest::newRow("shorter title first") << QList<QByteArray>{"abc\xA7z", "ab\xA7z"}
                                         << QList<QByteArray>{"ab\xA7z", "abc\xA7z"};
    QTest::newRow("accented letters in place") << QList<QByteArray>{"\xC4rger", "Zoo", "apfel", "\xE9lan", "emu"}
                                               << QList<QByteArray>{"apfel", "\xC4rger", "\xE9lan", "emu", "Zoo"};
    QTest::newRow("identical records both kept")
        << QList<QByteArray>{"a", "b", "a"} << QList<QByteArray>{"a", "a", "b"};
    QTest::newRow("empty") << QList<QByteArray>{} << QList<QByteArray>{};
    QTest::newRow("control characters the collation ignores")
        << QList<QByteArray>{"\x81", "\x8D", "a"} << QList<QByteArray>{"\x81", "\x8D", "a"};
}

void TestEntryList::sorts()
{
    QFETCH(QList<QByteArray>, records);
    QFETCH(QList<QByteArray>, expected);

    const auto listed = [](const EntryList& list) {
        QList<QByteArray> out;
        for (qsizetype i = 0; i < list.size(); ++i) {
            out.append(list.at(i));
        }
        return out;
    };
    const QList<QByteArray> first = listed(EntryList(records));
    QCOMPARE(first, expected);
    // The order never depends on the order of reading.
    std::sort(records.begin(), records.end());
    do {
        QCOMPARE(listed(EntryList(records)), first);
    } while (std::next_permutation(records.begin(), records.end()));
}

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

// Adding or replacing one record gives the same list as sorting everything again.
void TestEntryList::changesKeepTheOrder_data()
{
    QTest::addColumn<QList<QByteArray>>("records");
    QTest::addColumn<int>("replaced");
    QTest::addColumn<QByteArray>("record");

    const QList<QByteArray> some = {"delta", "Alfa", "charlie", "bravo"};
    QTest::newRow("add first") << some << -1 << QByteArray("aaa");
    QTest::newRow("add last") << some << -1 << QByteArray("zulu");
    QTest::newRow("add between case variants") << QList<QByteArray>{"ab", "AB", "b"} << -1 << QByteArray("Ab");
    QTest::newRow("add a duplicate") << some << -1 << QByteArray("charlie");
    QTest::newRow("add to an empty list") << QList<QByteArray>{} << -1 << QByteArray("x");
    QTest::newRow("add only spaces") << some << -1 << QByteArray("   ");
    QTest::newRow("replace, moving to the end") << some << 0 << QByteArray("zulu");
    QTest::newRow("replace, moving to the start") << some << 3 << QByteArray("aaa");
    QTest::newRow("replace with itself") << some << 1 << QByteArray("bravo");
    QTest::newRow("remove") << some << 2 << QByteArray();
    QTest::newRow("remove with spaces") << some << 0 << QByteArray("  ");
    QTest::newRow("remove the only one") << QList<QByteArray>{"x"} << 0 << QByteArray();
}

void TestEntryList::changesKeepTheOrder()
{
    QFETCH(QList<QByteArray>, records);
    QFETCH(int, replaced);
    QFETCH(QByteArray, record);

    const EntryList list(records);
    QList<QByteArray> changed = listed(list);
    if (replaced < 0) {
        changed.append(record);
        QCOMPARE(listed(list.withAdded(record)), listed(EntryList(changed)));
    } else {
        changed[replaced] = record;
        QCOMPARE(listed(list.withReplaced(replaced, record)), listed(EntryList(changed)));
    }
    QCOMPARE(listed(list), listed(EntryList(records)));
}

void TestEntryList::indexBounds()
{
    const EntryList list(QList<QByteArray>{"a", "b"});
    QVERIFY(list.contains(0));
    QVERIFY(list.contains(1));
    QVERIFY(!list.contains(2));
    QVERIFY(!list.contains(-1));
    QVERIFY(EntryList().isEmpty());
}

QTEST_GUILESS_MAIN(TestEntryList)
#include "tst_entrylist.moc"
