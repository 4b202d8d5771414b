#include "calendar/daycell.h"
#include "calendar/monthcalendar.h"
#include "platform/recordingplatform.h"
#include "support/input.h"

#include <QTest>

namespace {

enum class Arrow
{
    Previous,
    Next,
    ThisMonth,
};

// The new-entry window's calendar, shown in a window, with a clock fixed at ten o'clock of the given day.
struct CalendarHost
{
    explicit CalendarHost(QDate today)
        : clock(today.startOfDay().addSecs(10 * 3600)),
          calendar(
              CalendarLayout::CalendarioEscrever(), platform, [this] { return clock; }, &window)
    {
        window.resize(300, 300);
        window.show();
        calendar.showInWindow();
    }
    // The colour the cell is drawn in beside its number.
    QColor shownColour(int cell)
    {
        const QRect drawn = calendar.cell(cell)->geometry();
        return calendar.grab(drawn).toImage().pixelColor(3, drawn.height() / 2);
    }
    QList<int> cellsMarkedAsToday()
    {
        QList<int> cells;
        for (int i = 0; i < MonthGrid::cellCount; ++i) {
            if (shownColour(i) == MonthCalendar::todayColour()) {
                cells.append(i);
            }
        }
        return cells;
    }

    QDateTime clock;
    RecordingPlatform platform;
    QWidget window;
    MonthCalendar calendar;
};

} // namespace

class TestMonthCalendar : public QObject
{
    Q_OBJECT

private slots:
    void months_data();
    void months();
    void pressedCellComesBackAsDrawn_data();
    void pressedCellComesBackAsDrawn();
};

void TestMonthCalendar::months_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QList<Arrow>>("pressed");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("firstCell");
    QTest::addColumn<int>("days");
    // Today is marked only in its own month, not a year away.
    QTest::addColumn<bool>("todayMarked");
    QTest::addColumn<bool>("refused");
    const QList<Arrow> none;
    const QList<Arrow> next{Arrow::Next};
    const QList<Arrow> previous{Arrow::Previous};
    QTest::newRow("this month, from a Sunday")
        << QDate(2026, 3, 9) << none << "Março  2026" << 0 << 31 << true << false;
    QTest::newRow("August 2026: 31 days from a Saturday")
        << QDate(2026, 8, 9) << none << "Agosto  2026" << 6 << 31 << true << false;
    QTest::newRow("February 2000, divisible by 400")
        << QDate(2000, 1, 9) << next << "Fevereiro  2000" << 2 << 29 << false << false;
    QTest::newRow("February 1900, a century")
        << QDate(1900, 3, 9) << previous << "Fevereiro  1900" << 4 << 28 << false << false;
    QTest::newRow("February 2024, divisible by 4")
        << QDate(2024, 2, 9) << none << "Fevereiro  2024" << 4 << 29 << true << false;
    QTest::newRow("into the next year") << QDate(2026, 12, 15) << next << "Janeiro  2027" << 5 << 31 << false << false;
    QTest::newRow("a year on") << QDate(2026, 12, 15) << QList<Arrow>(12, Arrow::Next) << "Dezembro  2027" << 3 << 31
                               << false << false;
    QTest::newRow("back to this month") << QDate(2026, 12, 15) << QList{Arrow::Previous, Arrow::ThisMonth}
                                        << "Dezembro  2026" << 2 << 31 << true << false;
    QTest::newRow("January 1754 back into 1753")
        << QDate(1754, 1, 10) << previous << "Dezembro  1753" << 6 << 31 << false << false;
    QTest::newRow("before January 1753: refused")
        << QDate(1753, 1, 10) << previous << "Janeiro  1753" << 1 << 31 << true << true;
    QTest::newRow("after December 2078: refused")
        << QDate(2078, 12, 10) << next << "Dezembro  2078" << 4 << 31 << true << true;
}

// Every day in the column of its weekday, Sunday first, blank cells around the month. The arrows stop, with a
// message, at the years the calendar allows.
void TestMonthCalendar::months()
{
    QFETCH(QDate, today);
    QFETCH(QList<Arrow>, pressed);
    QFETCH(QString, title);
    QFETCH(int, firstCell);
    QFETCH(int, days);
    QFETCH(bool, todayMarked);
    QFETCH(bool, refused);
    CalendarHost host(today);
    const char* buttons[] = {"btnPrev2", "btnNext2", "btnAtual2"};
    for (Arrow arrow : pressed) {
        click(child(&host.calendar, buttons[int(arrow)]));
    }
    QCOMPARE(textOf(child(&host.calendar, "TitMesAno2")), title);
    for (int cell = 0; cell < MonthGrid::cellCount; ++cell) {
        const int day = cell - firstCell + 1;
        QCOMPARE(host.calendar.cell(cell)->text(), day >= 1 && day <= days ? QStringLiteral(" %1").arg(day) : " ");
    }
    const int todaysCell = firstCell + today.day() - 1;
    QCOMPARE(host.cellsMarkedAsToday(), todayMarked ? QList<int>{todaysCell} : QList<int>{});
    // A click on a blank cell picks no date.
    QCOMPARE(host.calendar.grid().dateText(MonthGrid::cellCount - 1), QStringLiteral("----/----/----"));
    QCOMPARE(host.platform.messages.size(), refused ? 1 : 0);
    if (refused) {
        QCOMPARE(host.platform.messages.first().text,
                 QStringLiteral("Ano inválido. O ano deve estar no \nintervalo de 1753 a 2078, inclusive."));
    }
}

void TestMonthCalendar::pressedCellComesBackAsDrawn_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<bool>("released");
    // 15 December 2026 is in cell 16.
    QTest::newRow("today's cell, released on it: picked") << 16 << true;
    QTest::newRow("today's cell, released outside it") << 16 << false;
    QTest::newRow("another day, released on it: picked") << 20 << true;
    QTest::newRow("another day, released outside it") << 20 << false;
}

// While the button is held the cell shows it is pressed; after the release today's cell is marked again, and only it.
void TestMonthCalendar::pressedCellComesBackAsDrawn()
{
    QFETCH(int, cell);
    QFETCH(bool, released);
    CalendarHost host(QDate(2026, 12, 15));
    DayCell* pressed = host.calendar.cell(cell);
    QTest::mousePress(pressed, Qt::LeftButton);
    QCOMPARE(host.shownColour(cell), MonthCalendar::pressedColour());
    QTest::mouseRelease(pressed, Qt::LeftButton, {}, released ? pressed->rect().center() : QPoint(-5, -5));
    QCOMPARE(host.cellsMarkedAsToday(), QList<int>{16});
    // A release on the cell picks it and puts the calendar away.
    QCOMPARE(host.calendar.isShownInWindow(), !released);
}

QTEST_MAIN(TestMonthCalendar)
#include "tst_monthcalendar.moc"
