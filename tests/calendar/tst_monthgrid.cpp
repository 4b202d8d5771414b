#include "calendar/monthgrid.h"

#include <QTest>

// The month as the calendar lays it out, without a window: which cell holds which day, the title, the steps.
class TestMonthGrid : public QObject
{
    Q_OBJECT

private slots:
    void layout_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        // The cell of the 1st (Sunday is column 0), the number of days and of rows used.
        QTest::addColumn<int>("firstCell");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("fullTitle");
        QTest::addColumn<QString>("shortTitle");
        const auto row = [](const char* name, int year, int month, int firstCell, int days, int rows, const char* full,
                            const char* brief) {
            QTest::newRow(name) << year << month << firstCell << days << rows << QString::fromUtf8(full)
                                << QString::fromUtf8(brief);
        };
        row("February 2015: 28 days from a Sunday, four rows", 2015, 2, 0, 28, 4, "Fevereiro  2015", "Fev  2015");
        row("March 2008: 31 days from a Saturday, six rows", 2008, 3, 6, 31, 6, "Março  2008", "Mar  2008");
        row("April 2026: 30 days", 2026, 4, 3, 30, 5, "Abril  2026", "Abr  2026");
        row("May 2026: 31 days from a Friday, six rows", 2026, 5, 5, 31, 6, "Maio  2026", "Mai  2026");
        row("February 1900, a century: 28 days", 1900, 2, 4, 28, 5, "Fevereiro  1900", "Fev  1900");
        row("February 2000, divisible by 400: 29 days", 2000, 2, 2, 29, 5, "Fevereiro  2000", "Fev  2000");
        row("February 2024, divisible by 4: 29 days", 2024, 2, 4, 29, 5, "Fevereiro  2024", "Fev  2024");
        row("January 1753, the first month", 1753, 1, 1, 31, 5, "Janeiro  1753", "Jan  1753");
        row("December 2078, the last month", 2078, 12, 4, 31, 5, "Dezembro  2078", "Dez  2078");
    }

    // Every one of the 42 cells: blank before the 1st and after the last day, the days in between in order.
    void layout()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, firstCell);
        QFETCH(int, days);
        QFETCH(int, rows);
        const MonthGrid grid(year, month);
        QCOMPARE(grid.daysInMonth(), days);
        for (int cell = 0; cell < MonthGrid::cellCount; ++cell) {
            const int day = cell - firstCell + 1;
            QCOMPARE(grid.dayOfCell(cell), day >= 1 && day <= days ? day : 0);
        }
        QCOMPARE(grid.cellOfDay(1), firstCell);
        QCOMPARE(grid.cellOfDay(days) / MonthGrid::columnCount, rows - 1);
        QTEST(grid.title(MonthGrid::Names::Full), "fullTitle");
        QTEST(grid.title(MonthGrid::Names::Short), "shortTitle");
    }

    void steps_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QDate>("shown");
        QTest::newRow("into the next year") << QDate(2026, 12, 15) << 1 << true << QDate(2027, 1, 1);
        QTest::newRow("into the year before") << QDate(2027, 1, 15) << -1 << true << QDate(2026, 12, 1);
        QTest::newRow("January 1754 back into 1753") << QDate(1754, 1, 10) << -1 << true << QDate(1753, 12, 1);
        QTest::newRow("before January 1753: refused") << QDate(1753, 1, 10) << -1 << false << QDate(1753, 1, 1);
        QTest::newRow("after December 2078: refused") << QDate(2078, 12, 10) << 1 << false << QDate(2078, 12, 1);
        QTest::newRow("December 2077 on to 2078") << QDate(2077, 12, 10) << 1 << true << QDate(2078, 1, 1);
    }

    // One month at a time within 1753 to 2078; a refused step changes nothing.
    void steps()
    {
        QFETCH(QDate, from);
        QFETCH(int, step);
        QFETCH(QDate, shown);
        MonthGrid grid(2000, 1);
        grid.showMonthOf(from);
        QTEST(step > 0 ? grid.stepForward() : grid.stepBack(), "taken");
        QCOMPARE(QDate(grid.year(), grid.month(), 1), shown);
        QVERIFY(grid.isMonthOf(shown.addDays(27)));
        QVERIFY(!grid.isMonthOf(shown.addMonths(1)) && !grid.isMonthOf(shown.addYears(1)));
    }

    void dateText_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("text");
        QTest::newRow("day first, two digits each") << QDate(2020, 2, 29) << "29/02/20";
        QTest::newRow("a year of the 1900s") << QDate(1999, 12, 1) << "01/12/99";
        QTest::newRow("no date") << QDate() << "----/----/----";
    }

    void dateText()
    {
        QFETCH(QDate, date);
        QTEST(MonthGrid::dateText(date), "text");
    }
};

QTEST_MAIN(TestMonthGrid)
#include "tst_monthgrid.moc"
