#include "calendar/daycell.h"
#include "calendar/monthcalendar.h"
#include "platform/picturebutton.h"
#include "platform/recordingplatform.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

// A window holding the new-entry window's calendar, with a clock fixed at ten o'clock of the given day.
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

    void click(const char* button) const
    {
        QTest::mouseClick(calendar.findChild<PictureButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    }
    QString title() const { return calendar.findChild<QLabel*>(QStringLiteral("TitMesAno2"))->text(); }
    QString caption(int cell) const { return calendar.cell(cell)->text(); }
    // The colour the cell is drawn in beside its number.
    QColor shownColour(int cell)
    {
        const QRect drawn = calendar.cell(cell)->geometry();
        return calendar.grab(drawn).toImage().pixelColor(3, drawn.height() / 2);
    }
    // The cells drawn in today's colour.
    QList<int> markedCells()
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
    void monthsLaidOut_data();
    void monthsLaidOut();
    void todayMarkedOnlyInItsOwnMonth();
    void pressedCellComesBackAsDrawn_data();
    void pressedCellComesBackAsDrawn();
    void yearLimits_data();
    void yearLimits();
};

void TestMonthCalendar::monthsLaidOut_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("firstCell");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("fifth");
    QTest::newRow("February 2000, divisible by 400") << QDate(2000, 2, 9) << "Fevereiro  2000" << 2 << 29 << "05/02/00";
    QTest::newRow("February 1900, century") << QDate(1900, 2, 9) << "Fevereiro  1900" << 4 << 28 << "05/02/00";
    QTest::newRow("February 2024, divisible by 4") << QDate(2024, 2, 9) << "Fevereiro  2024" << 4 << 29 << "05/02/24";
    QTest::newRow("February 2023") << QDate(2023, 2, 9) << "Fevereiro  2023" << 3 << 28 << "05/02/23";
    QTest::newRow("starts on a Sunday: March 2026") << QDate(2026, 3, 9) << "Março  2026" << 0 << 31 << "05/03/26";
    QTest::newRow("31 days from a Saturday: August 2026")
        << QDate(2026, 8, 9) << "Agosto  2026" << 6 << 31 << "05/08/26";
    QTest::newRow("first month: January 1753") << QDate(1753, 1, 9) << "Janeiro  1753" << 1 << 31 << "05/01/53";
    QTest::newRow("last month: December 2078") << QDate(2078, 12, 9) << "Dezembro  2078" << 4 << 31 << "05/12/78";
}

// Every day in the column of its weekday, blank cells around the month; a click picks the date or, on a blank cell,
// no date, and puts the calendar away.
void TestMonthCalendar::monthsLaidOut()
{
    QFETCH(QDate, today);
    QFETCH(QString, title);
    QFETCH(int, firstCell);
    QFETCH(int, days);
    QFETCH(QString, fifth);
    CalendarHost host(today);
    QCOMPARE(host.title(), title);
    for (int cell = 0; cell < MonthGrid::cellCount; ++cell) {
        const int day = cell - firstCell + 1;
        QCOMPARE(host.caption(cell), day >= 1 && day <= days ? QStringLiteral(" %1").arg(day) : QStringLiteral(" "));
    }
    QSignalSpy picked(&host.calendar, &MonthCalendar::dayPicked);
    for (int cell : {firstCell + 4, MonthGrid::cellCount - 1}) {
        QTest::mouseClick(host.calendar.cell(cell), Qt::LeftButton);
        QVERIFY(!host.calendar.isShownInWindow());
        QCOMPARE(picked.takeFirst().first().toInt(), cell);
        host.calendar.showInWindow();
    }
    QCOMPARE(host.calendar.grid().dateText(firstCell + 4), fifth);
    QCOMPARE(host.calendar.grid().dateText(MonthGrid::cellCount - 1), QStringLiteral("----/----/----"));
}

void TestMonthCalendar::todayMarkedOnlyInItsOwnMonth()
{
    // 15 December 2026 is a Tuesday; the month starts on a Tuesday, in cell 2.
    CalendarHost host(QDate(2026, 12, 15));
    QCOMPARE(host.markedCells(), QList<int>{16});
    host.click("btnNext2");
    QCOMPARE(host.title(), QStringLiteral("Janeiro  2027"));
    QVERIFY(host.markedCells().isEmpty());
    // A year away on the same month is not today either.
    for (int i = 0; i < 11; ++i) {
        host.click("btnNext2");
    }
    QCOMPARE(host.title(), QStringLiteral("Dezembro  2027"));
    QVERIFY(host.markedCells().isEmpty());
    host.click("btnPrev2");
    QCOMPARE(host.title(), QStringLiteral("Novembro  2027"));
    host.click("btnAtual2");
    QCOMPARE(host.title(), QStringLiteral("Dezembro  2026"));
    QCOMPARE(host.markedCells(), QList<int>{16});
}

void TestMonthCalendar::pressedCellComesBackAsDrawn_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<bool>("released");
    // 15 December 2026 is in cell 16.
    QTest::newRow("today's cell, released on it") << 16 << true;
    QTest::newRow("today's cell, released outside it") << 16 << false;
    QTest::newRow("another day, released on it") << 20 << true;
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
    QCOMPARE(host.markedCells(), QList<int>{16});
    QCOMPARE(host.calendar.isShownInWindow(), !released);
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
    CalendarHost host(today);
    const QString titleBefore = host.title();
    host.click(button.constData());
    QCOMPARE(host.title(), titleAfter);
    const bool refused = titleAfter == titleBefore;
    QCOMPARE(host.platform.messages.size(), refused ? 1 : 0);
    if (refused) {
        const RecordingPlatform::Message& message = host.platform.messages.first();
        QCOMPARE(message.text,
                 QStringLiteral("Ano inválido. O ano deve estar no \nintervalo de 1753 a 2078, inclusive."));
        QCOMPARE(message.icon, Platform::MessageIcon::Exclamation);
        // Today stays marked.
        QCOMPARE(host.markedCells(), QList<int>{host.calendar.grid().cellOfDay(10)});
    }
}

QTEST_MAIN(TestMonthCalendar)
#include "tst_monthcalendar.moc"
