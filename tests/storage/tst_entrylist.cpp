#include "storage/entrylist.h"
#include "storage/windows1252.h"

#include <QCollator>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

// The hidden order of the entries: whatever order the file holds them in, and after every change in place.
class TestEntryList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void orders_data();
    void orders();
    void ordersManyEqualTexts();
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

QList<QByteArray> moved(QList<QByteArray> records, qsizetype from, qsizetype to)
{
    records.move(from, to);
    return records;
}

QList<QByteArray> shuffled(QList<QByteArray> records, quint32 seed)
{
    QRandomGenerator random(seed);
    std::shuffle(records.begin(), records.end(), random);
    return records;
}

// Records that sort before every title of the table, so that a record out of place is one among many in order.
QList<QByteArray> inOrderBefore()
{
    QList<QByteArray> records;
    for (int number = 10; number < 40; ++number) {
        records.append(QByteArray::number(number) + "\xA7x");
    }
    return records;
}

} // namespace

// The C locale, where a plain byte comparison would put "Zed" before "abc".
void TestEntryList::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

// Each row in its expected order: alphabetical by the whole record without regard to letter case, accents after
// the plain letter, texts that differ only in letter case by their bytes (capitals first).
void TestEntryList::orders_data()
{
    QTest::addColumn<QList<QByteArray>>("expected");
    QTest::newRow("letter case ignored") << QList<QByteArray>{"Abacaxi", "banana", "Casa", "zebra"};
    QTest::newRow("equal titles by the following fields") << QList<QByteArray>{"X\xA7x", "x\xA7y", "x\xA7Z", "x\xA7z"};
    QTest::newRow("accented letters in place") << QList<QByteArray>{"apfel", "\xC4rger", "\xE9lan", "emu", "Zoo"};
    QTest::newRow("case and accent ties") << QList<QByteArray>{"Elan", "elan", "\xC9lan", "\xE9lan", "elan\xA7"};
    QTest::newRow("duplicates") << QList<QByteArray>{"a", "a", "B", "b", "b"};
}

// Read in order, reversed, shuffled or with any one record out of place, the list is the same; adding, replacing
// and removing in place keep it so.
void TestEntryList::orders()
{
    QFETCH(QList<QByteArray>, expected);
    const QList<QByteArray> sorted = inOrderBefore() + expected;
    QList<QList<QByteArray>> arrangements{sorted, shuffled(sorted, 1), shuffled(sorted, 2)};
    std::reverse_copy(sorted.begin(), sorted.end(), std::back_inserter(arrangements.emplace_back()));
    for (qsizetype from = 0; from < sorted.size(); ++from) {
        for (qsizetype to = 0; to < sorted.size(); ++to) {
            arrangements.append(moved(sorted, from, to));
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

// Thousands of short texts with many equal under the collation: every neighbour follows in order, and a list read
// back in that order with a few records moved gives the same list.
void TestEntryList::ordersManyEqualTexts()
{
    const QByteArray letters("aAbB\xE1\xC1\xE9\xC9 \xA7");
    QRandomGenerator random(7);
    QList<QByteArray> records;
    for (int i = 0; i < 3000; ++i) {
        QByteArray record = "t";
        for (int length = random.bounded(1, 5); length > 0; --length) {
            record.append(letters.at(random.bounded(letters.size())));
        }
        records.append(record);
    }
    const QList<QByteArray> sorted = listed(EntryList(records));
    QList<QByteArray> sortedBySelf = sorted;
    std::sort(records.begin(), records.end());
    std::sort(sortedBySelf.begin(), sortedBySelf.end());
    QCOMPARE(sortedBySelf, records);

    QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    for (qsizetype i = 1; i < sorted.size(); ++i) {
        const int order = collator.compare(Windows1252::toUnicode(sorted[i - 1]), Windows1252::toUnicode(sorted[i]));
        QVERIFY2(order < 0 || (order == 0 && sorted[i - 1] <= sorted[i]), sorted[i - 1] + " / " + sorted[i]);
    }
    QList<QByteArray> nearlySorted = sorted;
    for (int i = 0; i < 20; ++i) {
        nearlySorted.move(random.bounded(sorted.size()), random.bounded(sorted.size()));
    }
    QCOMPARE(listed(EntryList(nearlySorted)), sorted);
}

QTEST_GUILESS_MAIN(TestEntryList)
#include "tst_entrylist.moc"
