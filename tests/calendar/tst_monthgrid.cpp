#include "calendar/monthgrid.h"

#include <QTest>

class TestMonthGrid : public QObject
{
    Q_OBJECT

private slots:
    void daysInMonth_data();
    void daysInMonth();
    void cellsOfFirstAndLastDay_data();
    void cellsOfFirstAndLastDay();
    void blankCellsAroundTheMonth();
    void dateText_data();
    void dateText();
    void stepsWithinTheYearsAllowed_data();
    void stepsWithinTheYearsAllowed();
    void titles_data();
    void titles();
};

void TestMonthGrid::daysInMonth_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("days");
    QTest::newRow("February 2000, divisible by 400") << 2000 << 2 << 29;
    QTest::newRow("February 1800, century") << 1800 << 2 << 28;
    QTest::newRow("February 1900, century") << 1900 << 2 << 28;
    QTest::newRow("February 2024, divisible by 4") << 2024 << 2 << 29;
    QTest::newRow("February 2023") << 2023 << 2 << 28;
    QTest::newRow("February 1753, first year") << 1753 << 2 << 28;
    QTest::newRow("January") << 2023 << 1 << 31;
    QTest::newRow("April") << 2024 << 4 << 30;
    QTest::newRow("September") << 2026 << 9 << 30;
    QTest::newRow("November") << 2026 << 11 << 30;
    QTest::newRow("December 2078, last year") << 2078 << 12 << 31;
}

void TestMonthGrid::daysInMonth()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, days);
    QCOMPARE(MonthGrid(year, month).daysInMonth(), days);
    QCOMPARE(MonthGrid::daysInMonth(year, month), days);
}

void TestMonthGrid::cellsOfFirstAndLastDay_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("firstWeekday");
    QTest::addColumn<int>("firstCell");
    QTest::addColumn<int>("lastCell");
    // Sunday = 1 in the first column.
    QTest::newRow("first day a Sunday: March 2026") << 2026 << 3 << 1 << 0 << 30;
    QTest::newRow("31 days from a Saturday: August 2026") << 2026 << 8 << 7 << 6 << 36;
    QTest::newRow("non-leap February from a Sunday: 2026") << 2026 << 2 << 1 << 0 << 27;
    QTest::newRow("30 days from a Saturday: November 2025") << 2025 << 11 << 7 << 6 << 35;
    QTest::newRow("31 days from a Friday: January 2027") << 2027 << 1 << 6 << 5 << 35;
    QTest::newRow("leap February from a Thursday: 2024") << 2024 << 2 << 5 << 4 << 32;
    QTest::newRow("January 1753, a Monday") << 1753 << 1 << 2 << 1 << 31;
    QTest::newRow("December 2078, a Thursday") << 2078 << 12 << 5 << 4 << 34;
}

void TestMonthGrid::cellsOfFirstAndLastDay()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, firstWeekday);
    QFETCH(int, firstCell);
    QFETCH(int, lastCell);
    const MonthGrid grid(year, month);
    QCOMPARE(grid.firstWeekday(), firstWeekday);
    QCOMPARE(grid.cellOfDay(1), firstCell);
    QCOMPARE(grid.cellOfDay(grid.daysInMonth()), lastCell);
    QCOMPARE(grid.dayOfCell(firstCell), 1);
    QCOMPARE(grid.dayOfCell(lastCell), grid.daysInMonth());
}

void TestMonthGrid::blankCellsAroundTheMonth()
{
    // August 2026 starts on a Saturday and fills cells 6 to 36; everything else is blank.
    const MonthGrid grid(2026, 8);
    for (int cell = 0; cell < MonthGrid::cellCount; ++cell) {
        const bool holdsDay = cell >= 6 && cell <= 36;
        QCOMPARE(grid.dayOfCell(cell) != 0, holdsDay);
    }
    QCOMPARE(grid.dayOfCell(-1), 0);
    QCOMPARE(grid.dayOfCell(MonthGrid::cellCount), 0);
}

void TestMonthGrid::dateText_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("text");
    QTest::newRow("day 5 of March 2027") << 2027 << 3 << 5 << "05/03/27";
    QTest::newRow("day 15 of December 2026") << 2026 << 12 << 15 << "15/12/26";
    QTest::newRow("day 7 of December 2026") << 2026 << 12 << 7 << "07/12/26";
    QTest::newRow("day 5 of March 2009") << 2009 << 3 << 5 << "05/03/09";
    QTest::newRow("year 2000 keeps 00") << 2000 << 2 << 29 << "29/02/00";
    QTest::newRow("first year") << 1753 << 1 << 1 << "01/01/53";
    QTest::newRow("last day allowed") << 2078 << 12 << 31 << "31/12/78";
}

void TestMonthGrid::dateText()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QString, text);
    const MonthGrid grid(year, month);
    QCOMPARE(grid.dateText(grid.cellOfDay(day)), text);
    // A blank cell clears the date.
    QCOMPARE(grid.dateText(41), QStringLiteral("----/----/----"));
}

void TestMonthGrid::stepsWithinTheYearsAllowed_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<int>("newYear");
    QTest::addColumn<int>("newMonth");
    QTest::newRow("back from January 1753") << 1753 << 1 << false << false << 1753 << 1;
    QTest::newRow("forward from December 2078") << 2078 << 12 << true << false << 2078 << 12;
    QTest::newRow("December 1753 to January 1754") << 1753 << 12 << true << true << 1754 << 1;
    QTest::newRow("January 1754 to December 1753") << 1754 << 1 << false << true << 1753 << 12;
    QTest::newRow("back from February 1753") << 1753 << 2 << false << true << 1753 << 1;
    QTest::newRow("forward from November 2078") << 2078 << 11 << true << true << 2078 << 12;
    QTest::newRow("back from January 2078") << 2078 << 1 << false << true << 2077 << 12;
    QTest::newRow("within a year") << 2026 << 6 << true << true << 2026 << 7;
}

void TestMonthGrid::stepsWithinTheYearsAllowed()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(bool, forward);
    QFETCH(bool, moved);
    QFETCH(int, newYear);
    QFETCH(int, newMonth);
    MonthGrid grid(year, month);
    QCOMPARE(forward ? grid.stepForward() : grid.stepBack(), moved);
    QCOMPARE(grid.year(), newYear);
    QCOMPARE(grid.month(), newMonth);
}

void TestMonthGrid::titles_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("full");
    QTest::addColumn<QString>("shortTitle");
    QTest::newRow("January") << 1 << "Janeiro  2026"
                             << "Jan  2026";
    QTest::newRow("February") << 2 << "Fevereiro  2026"
                              << "Fev  2026";
    QTest::newRow("March, with a cedilla") << 3 << "Março  2026"
                                           << "Mar  2026";
    QTest::newRow("May") << 5 << "Maio  2026"
                         << "Mai  2026";
    QTest::newRow("August") << 8 << "Agosto  2026"
                            << "Ago  2026";
    QTest::newRow("September") << 9 << "Setembro  2026"
                               << "Set  2026";
    QTest::newRow("October") << 10 << "Outubro  2026"
                             << "Out  2026";
    QTest::newRow("December") << 12 << "Dezembro  2026"
                              << "Dez  2026";
}

void TestMonthGrid::titles()
{
    QFETCH(int, month);
    QFETCH(QString, full);
    QFETCH(QString, shortTitle);
    const MonthGrid grid(2026, month);
    QCOMPARE(grid.title(MonthGrid::Names::Full), full);
    QCOMPARE(grid.title(MonthGrid::Names::Short), shortTitle);
}

QTEST_GUILESS_MAIN(TestMonthGrid)
#include "tst_monthgrid.moc"
