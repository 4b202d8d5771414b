#include "calendar/daycell.h"
#include "calendar/monthcalendar.h"
#include "platform/picturebutton.h"
#include "platform/recordingplatform.h"

#include <QLabel>
#include <QTest>

namespace {

// A window holding one calendar, with a clock fixed at ten o'clock of the given day.
struct CalendarHost
{
    CalendarHost(const CalendarLayout& layout, QDate today)
        : clock(today.startOfDay().addSecs(10 * 3600)), calendar(
                                                            layout, platform, [this] { return clock; }, &window)
    {
        window.resize(300, 300);
        window.show();
    }

    void click(const char* button) const
    {
        QTest::mouseClick(calendar.findChild<PictureButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    }
    QString title() const { return calendar.findChild<QLabel*>(QStringLiteral("TitMesAno2"))->text(); }
    QList<int> markedCells() const
    {
        QList<int> cells;
        for (int i = 0; i < MonthGrid::cellCount; ++i) {
            if (calendar.cell(i)->isOpaque()) {
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
    void monthsLaidOut_data();
    void monthsLaidOut();
    void todayMarkedOnlyInItsOwnMonth();
    void yearLimits_data();
    void yearLimits();
};

void TestMonthCalendar::monthsLaidOut_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("firstCell");
    QTest::addColumn<QString>("fifth");
    QTest::newRow("February 2000, divisible by 400") << 2000 << 2 << 29 << 2 << "05/02/00";
    QTest::newRow("February 1800, century") << 1800 << 2 << 28 << 6 << "05/02/00";
    QTest::newRow("February 1900, century") << 1900 << 2 << 28 << 4 << "05/02/00";
    QTest::newRow("February 2024, divisible by 4") << 2024 << 2 << 29 << 4 << "05/02/24";
    QTest::newRow("February 2023") << 2023 << 2 << 28 << 3 << "05/02/23";
    QTest::newRow("first day a Sunday, first cell: March 2026") << 2026 << 3 << 31 << 0 << "05/03/26";
    QTest::newRow("31 days from a Saturday, last row: August 2026") << 2026 << 8 << 31 << 6 << "05/08/26";
    QTest::newRow("March 2027") << 2027 << 3 << 31 << 1 << "05/03/27";
    QTest::newRow("first month: January 1753") << 1753 << 1 << 31 << 1 << "05/01/53";
    QTest::newRow("last month: December 2078") << 2078 << 12 << 31 << 4 << "05/12/78";
}

void TestMonthCalendar::monthsLaidOut()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, days);
    QFETCH(int, firstCell);
    QFETCH(QString, fifth);
    const MonthGrid grid(year, month);
    QCOMPARE(grid.daysInMonth(), days);
    QCOMPARE(grid.cellOfDay(1), firstCell);
    QCOMPARE(grid.cellOfDay(days), firstCell + days - 1);
    // The cells around the month stay blank.
    for (int cell = -1; cell <= MonthGrid::cellCount; ++cell) {
        const int day = cell - firstCell + 1;
        QCOMPARE(grid.dayOfCell(cell), day >= 1 && day <= days ? day : 0);
    }
    // The date a click on day 5 picks; a click on a blank cell clears the date.
    QCOMPARE(grid.dateText(grid.cellOfDay(5)), fifth);
    QCOMPARE(grid.dateText(MonthGrid::cellCount - 1), QStringLiteral("----/----/----"));
}

void TestMonthCalendar::todayMarkedOnlyInItsOwnMonth()
{
    const QStringList titles{"Dezembro  2026", "Janeiro  2027", "Dezembro  2027"};
    // 15 December 2026 is a Tuesday; the month starts on a Tuesday, in cell 2.
    CalendarHost host(CalendarLayout::CalendarioEscrever(), QDate(2026, 12, 15));
    QCOMPARE(host.title(), titles[0]);
    QCOMPARE(host.markedCells(), QList<int>{16});
    QCOMPARE(host.calendar.cell(16)->backColour(), MonthCalendar::todayColour());
    host.click("btnNext2");
    QCOMPARE(host.title(), titles[1]);
    QVERIFY(host.markedCells().isEmpty());
    // A year away on the same month is not today either.
    for (int i = 0; i < 11; ++i) {
        host.click("btnNext2");
    }
    QCOMPARE(host.title(), titles[2]);
    QVERIFY(host.markedCells().isEmpty());
    host.click("btnAtual2");
    QCOMPARE(host.title(), titles[0]);
    QCOMPARE(host.markedCells(), QList<int>{16});
}

void TestMonthCalendar::yearLimits_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("titleAfter");
    QTest::newRow("back from January 1753") << QDate(1753, 1, 10) << QByteArray("btnPrev2") << "Janeiro  1753";
    QTest::newRow("forward from December 2078") << QDate(2078, 12, 10) << QByteArray("btnNext2") << "Dezembro  2078";
    QTest::newRow("December 1753 to January 1754") << QDate(1753, 12, 10) << QByteArray("btnNext2") << "Janeiro  1754";
    QTest::newRow("January 1754 to December 1753") << QDate(1754, 1, 10) << QByteArray("btnPrev2") << "Dezembro  1753";
}

void TestMonthCalendar::yearLimits()
{
    QFETCH(QDate, today);
    QFETCH(QByteArray, button);
    QFETCH(QString, titleAfter);
    CalendarHost host(CalendarLayout::CalendarioEscrever(), today);
    const QString titleBefore = host.title();
    host.click(button.constData());
    QCOMPARE(host.title(), titleAfter);
    const bool refused = titleAfter == titleBefore;
    QCOMPARE(host.platform.messages.size(), refused ? 1 : 0);
    if (refused) {
        const RecordingPlatform::Message& message = host.platform.messages.first();
        QCOMPARE(message.title, QStringLiteral("Agendinha"));
        QCOMPARE(message.text,
                 QStringLiteral("Ano inválido. O ano deve estar no \nintervalo de 1753 a 2078, inclusive."));
        QCOMPARE(message.icon, Platform::MessageIcon::Exclamation);
        // Today stays marked.
        QCOMPARE(host.markedCells(), QList<int>{host.calendar.grid().cellOfDay(10)});
    }
}

QTEST_MAIN(TestMonthCalendar)
#include "tst_monthcalendar.moc"
