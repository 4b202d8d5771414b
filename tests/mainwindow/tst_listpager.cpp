#include "mainwindow/listpager.h"
#include "storage/entrylist.h"
#include "storage/entryrecord.h"

#include <QTest>

namespace {

// Page bounds, the two state values, the page number and the arrows shown ("<" back, ">" forward).
QString describe(const ListPager& pager)
{
    return QStringLiteral("%1..%2 r%3 a%4 p%5 %6%7")
        .arg(pager.pageStart())
        .arg(pager.pageEnd() - 1)
        .arg(pager.inicioRetorna())
        .arg(pager.inicioAvanca())
        .arg(pager.pagina())
        .arg(pager.canBack() ? QStringLiteral("<") : QString())
        .arg(pager.canForward() ? QStringLiteral(">") : QString());
}

QByteArray record(int number)
{
    return EntryRecord::join({"Conta " + QByteArray::number(number).rightJustified(2, '0'), "----/----/----",
                              "26.03.06.10.00.00", "login", "senha", "", ""});
}

EntryList entries(int count)
{
    QList<QByteArray> records;
    for (int number = 0; number < count; ++number) {
        records.append(record(number));
    }
    return EntryList(records);
}

} // namespace

class TestListPager : public QObject
{
    Q_OBJECT

private slots:
    void pageTurns_data();
    void pageTurns();
    void rowOneMarker();
    void untouchedUntilRowOneOrTurn_data();
    void untouchedUntilRowOneOrTurn();
    void rowsCarryTheirIndex();
    void shortRecordShowsItsText();
};

void TestListPager::pageTurns_data()
{
    QTest::addColumn<int>("count");
    // f: forward, b: back; a refused turn is written in capitals.
    QTest::addColumn<QString>("turns");
    QTest::addColumn<QStringList>("states");

    QTest::newRow("empty") << 0 << "FB" << QStringList{"0..-1 r0 a15 p1 ", "0..-1 r0 a15 p1 ", "0..-1 r0 a15 p1 "};
    QTest::newRow("one entry") << 1 << "F" << QStringList{"0..0 r0 a15 p1 ", "0..0 r0 a15 p1 "};
    QTest::newRow("15: one page") << 15 << "FB"
                                  << QStringList{"0..14 r0 a15 p1 ", "0..14 r0 a15 p1 ", "0..14 r0 a15 p1 "};
    QTest::newRow("16: a last page of one")
        << 16 << "fFb"
        << QStringList{"0..14 r0 a15 p1 >", "15..15 r14 a0 p2 <", "15..15 r14 a0 p2 <", "0..14 r0 a15 p1 >"};
    QTest::newRow("30: no empty page") << 30 << "fF"
                                       << QStringList{"0..14 r0 a15 p1 >", "15..29 r14 a0 p2 <", "15..29 r14 a0 p2 <"};
    QTest::newRow("45: forward twice, back twice")
        << 45 << "ffbbB" << QStringList{"0..14 r0 a15 p1 >",    "15..29 r14 a30 p2 <>", "30..44 r29 a0 p3 <",
                                        "15..29 r14 a30 p2 <>", "0..14 r0 a15 p1 >",    "0..14 r0 a15 p1 >"};
    QTest::newRow("46: a fourth page") << 46 << "fffF"
                                       << QStringList{"0..14 r0 a15 p1 >", "15..29 r14 a30 p2 <>",
                                                      "30..44 r29 a45 p3 <>", "45..45 r44 a0 p4 <",
                                                      "45..45 r44 a0 p4 <"};
}

void TestListPager::pageTurns()
{
    QFETCH(int, count);
    QFETCH(QString, turns);
    QFETCH(QStringList, states);

    ListPager pager;
    pager.firstPage(count);
    QCOMPARE(describe(pager), states.first());
    for (qsizetype step = 0; step < turns.size(); ++step) {
        const QChar turn = turns.at(step);
        const bool turned = turn.toLower() == QLatin1Char('f') ? pager.forward() : pager.back();
        QCOMPARE(turned, turn.isLower());
        QCOMPARE(describe(pager), states.at(step + 1));
    }
}

void TestListPager::rowOneMarker()
{
    ListPager pager;
    pager.firstPage(45);
    QCOMPARE(pager.setaMenos(), 0);
    pager.markRowOneSelected();
    QCOMPARE(pager.setaMenos(), 1);
    pager.forward();
    pager.forward();
    QCOMPARE(pager.setaMenos(), 3);
    QVERIFY(!pager.forward());
    QCOMPARE(pager.setaMenos(), 3);
    pager.back();
    QCOMPARE(pager.setaMenos(), 2);
    pager.markRowOneSelected();
    QCOMPARE(pager.setaMenos(), 1);
    // Refilling the list shows the first page but keeps the marker.
    pager.firstPage(45);
    QCOMPARE(pager.pagina(), 1);
    QCOMPARE(pager.setaMenos(), 1);
    pager.back();
    QCOMPARE(pager.setaMenos(), 1);
}

void TestListPager::untouchedUntilRowOneOrTurn_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("untouched");

    QTest::newRow("start") << "" << true;
    QTest::newRow("refused turns") << "FB" << true;
    QTest::newRow("refill") << "0" << true;
    QTest::newRow("row 1") << "1" << false;
    QTest::newRow("forward and back") << "fb" << false;
    QTest::newRow("forward, back, refill") << "fb0" << false;
}

void TestListPager::untouchedUntilRowOneOrTurn()
{
    QFETCH(QString, steps);
    QFETCH(bool, untouched);

    ListPager pager;
    pager.firstPage(steps.contains(QLatin1Char('F')) ? 10 : 30);
    for (const QChar step : steps) {
        switch (step.unicode()) {
        case 'f':
        case 'F':
            pager.forward();
            break;
        case 'b':
        case 'B':
            pager.back();
            break;
        case '1':
            pager.markRowOneSelected();
            break;
        default:
            pager.firstPage(30);
        }
    }
    QCOMPARE(pager.isUntouched(), untouched);
    QCOMPARE(pager.setaMenos(), steps == QLatin1String("1") ? 1 : 0);
}

void TestListPager::rowsCarryTheirIndex()
{
    const EntryList list = entries(16);
    ListPager pager;
    pager.firstPage(list.size());
    const QList<QString> first = pager.rows(list);
    QCOMPARE(first.size(), 15);
    QCOMPARE(first.first(), QStringLiteral("----/----/----    Conta 00\t\t\t\t0"));
    QCOMPARE(first.last(), QStringLiteral("----/----/----    Conta 14\t\t\t\t14"));
    pager.forward();
    QCOMPARE(pager.rows(list), QList<QString>{QStringLiteral("----/----/----    Conta 15\t\t\t\t15")});
}

void TestListPager::shortRecordShowsItsText()
{
    // A record read under the wrong key may carry no separator at all.
    const EntryList list(QList<QByteArray>{"lixo\xE7"});
    ListPager pager;
    pager.firstPage(list.size());
    QCOMPARE(pager.rows(list), QList<QString>{QStringLiteral("lixoç    lixoç\t\t\t\t0")});
    // A count larger than the list never reads past its end.
    pager.firstPage(20);
    QCOMPARE(pager.rows(list).size(), 1);
}

QTEST_APPLESS_MAIN(TestListPager)
#include "tst_listpager.moc"
