#include "storage/entryrecord.h"

#include <QTest>

// The entry record's fields, its stamp and the display row built from it.
class TestEntryRecord : public QObject
{
    Q_OBJECT

private slots:
    void joinAndSplit();
    void field_data();
    void field();
    void updateStamp_data();
    void updateStamp();
    void stampDate_data();
    void stampDate();
    void displayRow_data();
    void displayRow();
    void indexOfRow_data();
    void indexOfRow();
};

void TestEntryRecord::joinAndSplit()
{
    const QList<QByteArray> fields = {"Banco", "----/----/----", "26.03.06.00.00.07",     "eu",
                                      "s\"e",  "http://b",       "linha 1\r\nlinha 2\r\n"};
    const QByteArray record = EntryRecord::join(fields);
    QCOMPARE(record, QByteArray("Banco\xA7----/----/----\xA7"
                                "26.03.06.00.00.07\xA7"
                                "eu\xA7s\"e\xA7http://b\xA7linha 1\xA5linha 2\xA5"));
    QCOMPARE(EntryRecord::split(record).size(), int(EntryRecord::FieldCount));
    QCOMPARE(EntryRecord::descriptionLines(EntryRecord::field(record, EntryRecord::Description)),
             fields[EntryRecord::Description]);
}

void TestEntryRecord::field_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("first") << QByteArray("a\xA7"
                                         "b\xA7"
                                         "c")
                           << 0 << QByteArray("a");
    QTest::newRow("last") << QByteArray("a\xA7"
                                        "b\xA7"
                                        "c")
                          << 2 << QByteArray("c");
    QTest::newRow("beyond the last") << QByteArray("a\xA7"
                                                   "b")
                                     << 2 << QByteArray();
    QTest::newRow("empty field") << QByteArray("a\xA7\xA7"
                                               "c")
                                 << 1 << QByteArray();
    QTest::newRow("no separator") << QByteArray("abc") << 0 << QByteArray("abc");
}

void TestEntryRecord::field()
{
    QFETCH(QByteArray, record);
    QFETCH(int, position);
    QFETCH(QByteArray, expected);
    QCOMPARE(EntryRecord::field(record, position), expected);
}

void TestEntryRecord::updateStamp_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QByteArray>("stamp");
    QTest::newRow("zero-padded") << QDateTime(QDate(2026, 3, 6), QTime(0, 0, 7)) << QByteArray("26.03.06.00.00.07");
    QTest::newRow("24-hour clock") << QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59))
                                   << QByteArray("99.12.31.23.59.59");
    QTest::newRow("year 2000") << QDateTime(QDate(2000, 1, 1), QTime(12, 0, 0)) << QByteArray("00.01.01.12.00.00");
}

void TestEntryRecord::updateStamp()
{
    QFETCH(QDateTime, when);
    QFETCH(QByteArray, stamp);
    QCOMPARE(EntryRecord::updateStamp(when), stamp);
    QCOMPARE(stamp.size(), 17);
}

void TestEntryRecord::stampDate_data()
{
    QTest::addColumn<QByteArray>("stamp");
    QTest::addColumn<QByteArray>("date");
    QTest::newRow("stamp") << QByteArray("26.03.06.00.00.07") << QByteArray("06/03/26");
    QTest::newRow("empty") << QByteArray() << QByteArray("//");
    QTest::newRow("short") << QByteArray("26.03") << QByteArray("/03/26");
}

void TestEntryRecord::stampDate()
{
    QFETCH(QByteArray, stamp);
    QFETCH(QByteArray, date);
    QCOMPARE(EntryRecord::stampDate(stamp), date);
}

void TestEntryRecord::displayRow_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QByteArray>("row");

    QTest::newRow("no expiry") << QByteArray("Banco\xA7----/----/----\xA7x")
                               << QByteArray("----/----/----    Banco\t\t\t\t7");
    QTest::newRow("with expiry") << QByteArray("Casa\xA7"
                                               "31/12/26\xA7x")
                                 << QByteArray("31/12/26    Casa\t\t\t\t7");
    QTest::newRow("fewer than two fields") << QByteArray("lixo") << QByteArray("lixo    lixo\t\t\t\t7");
    QTest::newRow("empty title") << QByteArray("\xA7"
                                               "01/01/26")
                                 << QByteArray("01/01/26    \t\t\t\t7");
}

void TestEntryRecord::displayRow()
{
    QFETCH(QByteArray, record);
    QFETCH(QByteArray, row);
    QCOMPARE(EntryRecord::displayRow(record, 7), row);
    QCOMPARE(EntryRecord::indexOfRow(row), 7);
}

void TestEntryRecord::indexOfRow_data()
{
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<qsizetype>("index");
    QTest::newRow("zero") << QByteArray("x    t\t\t\t\t0") << qsizetype(0);
    QTest::newRow("tab in the title") << QByteArray("x    a\tb\t\t\t\t12") << qsizetype(12);
    QTest::newRow("no tab") << QByteArray("x    t") << qsizetype(-1);
    QTest::newRow("nothing after the tab") << QByteArray("x\t") << qsizetype(-1);
    QTest::newRow("not a number") << QByteArray("x\tab") << qsizetype(-1);
}

void TestEntryRecord::indexOfRow()
{
    QFETCH(QByteArray, row);
    QFETCH(qsizetype, index);
    QCOMPARE(EntryRecord::indexOfRow(row), index);
}

QTEST_GUILESS_MAIN(TestEntryRecord)
#include "tst_entryrecord.moc"
