#include "storage/entryrecord.h"

#include <QTest>

// The display row built from a record and the index read back from it.
class TestEntryRecord : public QObject
{
    Q_OBJECT

private slots:
    void displayRow_data();
    void displayRow();
};

void TestEntryRecord::displayRow_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QByteArray>("row");
    QTest::newRow("no expiry") << QByteArray("Banco\xA7----/----/----\xA7x")
                               << QByteArray("----/----/----    Banco\t\t\t\t7");
    QTest::newRow("fewer than two fields") << QByteArray("lixo") << QByteArray("lixo    lixo\t\t\t\t7");
    QTest::newRow("tab in the title") << QByteArray("a\tb\xA7x") << QByteArray("x    a\tb\t\t\t\t7");
}

void TestEntryRecord::displayRow()
{
    QFETCH(QByteArray, record);
    QFETCH(QByteArray, row);
    QCOMPARE(EntryRecord::displayRow(record, 7), row);
    QCOMPARE(EntryRecord::indexOfRow(row), 7);
}

QTEST_GUILESS_MAIN(TestEntryRecord)
#include "tst_entryrecord.moc"
