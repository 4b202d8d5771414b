#include "storage/entrylist.h"

#include <QTest>

// The order of the entry list: alphabetical by title without regard to letter case, ties by the following fields.
class TestEntryList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sorts_data();
    void sorts();
};

// The C locale, where a plain byte comparison would put "Zed" before "abc".
void TestEntryList::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestEntryList::sorts_data()
{
    QTest::addColumn<QList<QByteArray>>("records");
    QTest::addColumn<QList<QByteArray>>("expected");
    QTest::newRow("letter case ignored") << QList<QByteArray>{"zebra", "Abacaxi", "banana", "Casa"}
                                         << QList<QByteArray>{"Abacaxi", "banana", "Casa", "zebra"};
    QTest::newRow("equal titles by the following fields")
        << QList<QByteArray>{"x\xA7z", "x\xA7y", "X\xA7x"} << QList<QByteArray>{"X\xA7x", "x\xA7y", "x\xA7z"};
    QTest::newRow("shorter title first") << QList<QByteArray>{"abc\xA7z", "ab\xA7z"}
                                         << QList<QByteArray>{"ab\xA7z", "abc\xA7z"};
    QTest::newRow("accented letters in place") << QList<QByteArray>{"\xC4rger", "Zoo", "apfel", "\xE9lan", "emu"}
                                               << QList<QByteArray>{"apfel", "\xC4rger", "\xE9lan", "emu", "Zoo"};
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
    QCOMPARE(listed(EntryList(records)), expected);
    // Adding one record keeps the same order as sorting everything again.
    const QByteArray last = records.takeLast();
    QCOMPARE(listed(EntryList(records).withAdded(last)), expected);
}

QTEST_GUILESS_MAIN(TestEntryList)
#include "tst_entrylist.moc"
