#include "mainwindow/listpager.h"
#include "storage/entrylist.h"
#include "storage/entryrecord.h"

#include <QTest>

class TestListPager : public QObject
{
    Q_OBJECT

private slots:
    void paging_data();
    void paging();
    void rows();
};

void TestListPager::paging_data()
{
    QTest::addColumn<int>("count");
    // f/b turn forward/back (in capitals when the turn must be refused), 1 selects row 1, 0 refills the list.
    QTest::addColumn<QString>("steps");
    // Page bounds, the two page-bound values, the page number, the arrows shown, the row-1 marker and "u" while
    // untouched.
    QTest::addColumn<QString>("state");

    QTest::newRow("empty") << 0 << "FB" << QStringLiteral("0..-1 r0 a15 p1 m0 u");
    QTest::newRow("15: one page") << 15 << "FB" << QStringLiteral("0..14 r0 a15 p1 m0 u");
    QTest::newRow("16: a last page of one") << 16 << "fF" << QStringLiteral("15..15 r14 a0 p2 < m1");
    QTest::newRow("16: and back") << 16 << "fb" << QStringLiteral("0..14 r0 a15 p1 > m0");
    QTest::newRow("30: no empty page") << 30 << "fF" << QStringLiteral("15..29 r14 a0 p2 < m1");
    QTest::newRow("45: start") << 45 << "" << QStringLiteral("0..14 r0 a15 p1 > m0 u");
    QTest::newRow("45: page 2") << 45 << "f" << QStringLiteral("15..29 r14 a30 p2 <> m1");
    QTest::newRow("45: page 3") << 45 << "ffF" << QStringLiteral("30..44 r29 a0 p3 < m2");
    QTest::newRow("45: back twice") << 45 << "ffbbB" << QStringLiteral("0..14 r0 a15 p1 > m0");
    QTest::newRow("46: a fourth page") << 46 << "fff" << QStringLiteral("45..45 r44 a0 p4 < m3");
    QTest::newRow("refill") << 45 << "0" << QStringLiteral("0..14 r0 a15 p1 > m0 u");
    QTest::newRow("row 1") << 45 << "1" << QStringLiteral("0..14 r0 a15 p1 > m1");
    QTest::newRow("forward, back, refill") << 45 << "fb0" << QStringLiteral("0..14 r0 a15 p1 > m0");
    QTest::newRow("row 1 then turns") << 45 << "1ffFb" << QStringLiteral("15..29 r14 a30 p2 <> m2");
    QTest::newRow("row 1 resets the marker, a refill keeps it")
        << 45 << "1ffb10B" << QStringLiteral("0..14 r0 a15 p1 > m1");
}

void TestListPager::paging()
{
    QFETCH(int, count);
    QFETCH(QString, steps);
    QFETCH(QString, state);

    ListPager pager;
    pager.firstPage(count);
    for (const QChar step : steps) {
        if (step == QLatin1Char('1')) {
            pager.markRowOneSelected();
        } else if (step == QLatin1Char('0')) {
            pager.firstPage(count);
        } else {
            const bool turned = step.toLower() == QLatin1Char('f') ? pager.forward() : pager.back();
            QCOMPARE(turned, step.isLower());
        }
    }
    QCOMPARE(QStringLiteral("%1..%2 r%3 a%4 p%5 %6%7 m%8 %9")
                 .arg(pager.pageStart())
                 .arg(pager.pageEnd() - 1)
                 .arg(pager.inicioRetorna())
                 .arg(pager.inicioAvanca())
                 .arg(pager.pagina())
                 .arg(pager.canBack() ? "<" : "", pager.canForward() ? ">" : "")
                 .arg(pager.setaMenos())
                 .arg(pager.isUntouched() ? "u" : "")
                 .simplified(),
             state);
}

void TestListPager::rows()
{
    QList<QByteArray> records;
    for (int number = 0; number < 16; ++number) {
        records.append(EntryRecord::join({"Conta " + QByteArray::number(number).rightJustified(2, '0'),
                                          "----/----/----", "26.03.06.10.00.00", "login", "senha", "", ""}));
    }
    const EntryList list(records);
    ListPager pager;
    pager.firstPage(list.size());
    const QList<QString> first = pager.rows(list);
    QCOMPARE(first.size(), 15);
    QCOMPARE(first.last(), QStringLiteral("----/----/----    Conta 14\t\t\t\t14"));
    pager.forward();
    QCOMPARE(pager.rows(list), QList<QString>{QStringLiteral("----/----/----    Conta 15\t\t\t\t15")});

    // A record read under the wrong key may carry no separator at all; a count larger than the list reads nothing
    // past its end.
    const EntryList garbage(QList<QByteArray>{"lixo\xE7"});
    pager.firstPage(20);
    QCOMPARE(pager.rows(garbage), QList<QString>{QStringLiteral("lixoç    lixoç\t\t\t\t0")});

    // The one damaged line of a huge file: the row shows its start, cut far beyond what the list shows, and still
    // gives back its index.
    const EntryList huge(QList<QByteArray>{QByteArray(10'000'000, 'x')});
    const QString row = pager.rows(huge).value(0);
    QVERIFY(row.size() < 10'000 && row.startsWith(QString(200, 'x')) && row.contains("    " + QString(200, 'x')));
    QCOMPARE(EntryRecord::indexOfRow(row.toLatin1()), 0);
}

QTEST_APPLESS_MAIN(TestListPager)
#include "tst_listpager.moc"
