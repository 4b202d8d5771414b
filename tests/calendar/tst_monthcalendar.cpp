#include "calendar/daycell.h"
#include "calendar/monthcalendar.h"
#include "platform/picturebutton.h"
#include "platform/recordingplatform.h"
#include "platform/twips.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(const CalendarLayout*)

namespace {

// A window of the new-entry window's size holding one calendar, with a clock fixed at the given day.
struct CalendarHost
{
    CalendarHost(const CalendarLayout& layout, QDate today)
        : clock(today.startOfDay().addSecs(10 * 3600)), calendar(
                                                            layout, platform, [this] { return clock; }, &window)
    {
        window.resize(Twips::size(3420, 3960));
        window.show();
    }

    PictureButton* button(const char* name) const
    {
        return calendar.findChild<PictureButton*>(QString::fromLatin1(name));
    }
    QString label(const char* name) const { return calendar.findChild<QLabel*>(QString::fromLatin1(name))->text(); }
    QString title() const { return label("TitMesAno2"); }
    QList<int> opaqueCells() const
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

void addLayoutColumns()
{
    QTest::addColumn<const CalendarLayout*>("layout");
}

} // namespace

class TestMonthCalendar : public QObject
{
    Q_OBJECT

private slots:
    void startsOnTodaysMonthWithTodayMarked_data();
    void startsOnTodaysMonthWithTodayMarked();
    void cellsCarryTheirNamesAndCaptions_data();
    void cellsCarryTheirNamesAndCaptions();
    void todayMarkedOnlyInItsOwnMonth();
    void yearLimits_data();
    void yearLimits();
    void pickingADayReportsItsCellAndHides_data();
    void pickingADayReportsItsCellAndHides();
    void pressedCellFeedback_data();
    void pressedCellFeedback();
    void shownAndHiddenByMoving_data();
    void shownAndHiddenByMoving();
};

void TestMonthCalendar::startsOnTodaysMonthWithTodayMarked_data()
{
    addLayoutColumns();
    QTest::addColumn<QString>("title");
    QTest::newRow("new-entry window, full names") << &CalendarLayout::CalendarioEscrever() << "Setembro  2026";
    QTest::newRow("update window, short names") << &CalendarLayout::CalendarioAtualizar() << "Set  2026";
}

void TestMonthCalendar::startsOnTodaysMonthWithTodayMarked()
{
    QFETCH(const CalendarLayout*, layout);
    QFETCH(QString, title);
    // 9 September 2026 is a Wednesday; the month starts on a Tuesday, in cell 2.
    CalendarHost host(*layout, QDate(2026, 9, 9));
    QCOMPARE(host.title(), title);
    QCOMPARE(host.opaqueCells(), QList<int>{10});
    QCOMPARE(host.calendar.cell(10)->backColour(), QColor(QStringLiteral("#A6D5FF")));
    QCOMPARE(host.label("lblDiaHoje"), QStringLiteral("9"));
    QCOMPARE(host.label("lblMesHoje"), QStringLiteral("9"));
    QCOMPARE(host.label("lblAnoHoje"), QStringLiteral("2026"));
    QVERIFY(!host.calendar.findChild<QLabel*>(QStringLiteral("lblDiaHoje"))->isVisible());
}

void TestMonthCalendar::cellsCarryTheirNamesAndCaptions_data()
{
    addLayoutColumns();
    QTest::addColumn<QString>("prefix");
    QTest::newRow("new-entry window") << &CalendarLayout::CalendarioEscrever() << "Casa2_";
    QTest::newRow("update window") << &CalendarLayout::CalendarioAtualizar() << "Casa_";
}

void TestMonthCalendar::cellsCarryTheirNamesAndCaptions()
{
    QFETCH(const CalendarLayout*, layout);
    QFETCH(QString, prefix);
    // August 2026 starts on a Saturday: cells 0 to 5 and 37 to 41 stay blank.
    CalendarHost host(*layout, QDate(2026, 8, 20));
    for (int i = 0; i < MonthGrid::cellCount; ++i) {
        auto* cell = host.calendar.findChild<DayCell*>(prefix + QString::number(i));
        QVERIFY(cell);
        QCOMPARE(cell->property("Index").toInt(), i);
        const QString expected = i >= 6 && i <= 36 ? QLatin1Char(' ') + QString::number(i - 5) : QStringLiteral(" ");
        QCOMPARE(cell->text(), expected);
    }
    // Cells sit in seven columns, the rows one under the other.
    QCOMPARE(host.calendar.cell(7)->x(), host.calendar.cell(0)->x());
    QVERIFY(host.calendar.cell(7)->y() > host.calendar.cell(0)->y());
    QVERIFY(host.calendar.cell(6)->x() > host.calendar.cell(5)->x());
}

void TestMonthCalendar::todayMarkedOnlyInItsOwnMonth()
{
    CalendarHost host(CalendarLayout::CalendarioEscrever(), QDate(2026, 12, 15));
    const QList<int> marked = host.opaqueCells();
    QTest::mouseClick(host.button("btnPrev2"), Qt::LeftButton);
    QCOMPARE(host.title(), QStringLiteral("Novembro  2026"));
    QVERIFY(host.opaqueCells().isEmpty());
    QTest::mouseClick(host.button("btnNext2"), Qt::LeftButton);
    QTest::mouseClick(host.button("btnNext2"), Qt::LeftButton);
    QCOMPARE(host.title(), QStringLiteral("Janeiro  2027"));
    QCOMPARE(host.label("lblMesHoje"), QStringLiteral("1"));
    QCOMPARE(host.label("lblAnoHoje"), QStringLiteral("2027"));
    QVERIFY(host.opaqueCells().isEmpty());
    QTest::mouseClick(host.button("btnPrev2"), Qt::LeftButton);
    QCOMPARE(host.opaqueCells(), marked);
    // A year away on the same month is not today either.
    for (int i = 0; i < 12; ++i) {
        QTest::mouseClick(host.button("btnNext2"), Qt::LeftButton);
    }
    QCOMPARE(host.title(), QStringLiteral("Dezembro  2027"));
    QVERIFY(host.opaqueCells().isEmpty());
    QTest::mouseClick(host.button("btnAtual2"), Qt::LeftButton);
    QCOMPARE(host.title(), QStringLiteral("Dezembro  2026"));
    QCOMPARE(host.opaqueCells(), marked);
    QVERIFY(host.platform.messages.isEmpty());
}

void TestMonthCalendar::yearLimits_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("titleAfter");
    QTest::addColumn<bool>("warned");
    QTest::newRow("back from January 1753") << QDate(1753, 1, 10) << QByteArray("btnPrev2") << "Janeiro  1753" << true;
    QTest::newRow("forward from December 2078")
        << QDate(2078, 12, 10) << QByteArray("btnNext2") << "Dezembro  2078" << true;
    QTest::newRow("December 1753 to January 1754")
        << QDate(1753, 12, 10) << QByteArray("btnNext2") << "Janeiro  1754" << false;
    QTest::newRow("January 1754 to December 1753")
        << QDate(1754, 1, 10) << QByteArray("btnPrev2") << "Dezembro  1753" << false;
}

void TestMonthCalendar::yearLimits()
{
    QFETCH(QDate, today);
    QFETCH(QByteArray, button);
    QFETCH(QString, titleAfter);
    QFETCH(bool, warned);
    CalendarHost host(CalendarLayout::CalendarioEscrever(), today);
    const QList<int> marked = host.opaqueCells();
    QTest::mouseClick(host.button(button.constData()), Qt::LeftButton);
    QCOMPARE(host.title(), titleAfter);
    QCOMPARE(host.platform.messages.size(), warned ? 1 : 0);
    if (warned) {
        const RecordingPlatform::Message& message = host.platform.messages.first();
        QCOMPARE(message.title, QStringLiteral("Agendinha"));
        QCOMPARE(message.text,
                 QStringLiteral("Ano inválido. O ano deve estar no \nintervalo de 1753 a 2078, inclusive."));
        QCOMPARE(message.icon, Platform::MessageIcon::Exclamation);
        // Nothing else changes: the same month, today still marked.
        QCOMPARE(host.opaqueCells(), marked);
        QCOMPARE(host.label("lblMesHoje"), QString::number(today.month()));
    }
}

void TestMonthCalendar::pickingADayReportsItsCellAndHides_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("monthsForward");
    QTest::addColumn<int>("cell");
    QTest::addColumn<QString>("date");
    // March 2027 starts on a Monday, December 2026 on a Tuesday.
    QTest::newRow("day 5 of March 2027") << QDate(2027, 3, 20) << 0 << 5 << "05/03/27";
    QTest::newRow("day 15 of December 2026, reached by stepping") << QDate(2026, 10, 1) << 2 << 16 << "15/12/26";
    QTest::newRow("blank cell") << QDate(2027, 3, 20) << 0 << 0 << "----/----/----";
    QTest::newRow("last blank cell") << QDate(2027, 3, 20) << 0 << 41 << "----/----/----";
}

void TestMonthCalendar::pickingADayReportsItsCellAndHides()
{
    QFETCH(QDate, today);
    QFETCH(int, monthsForward);
    QFETCH(int, cell);
    QFETCH(QString, date);
    CalendarHost host(CalendarLayout::CalendarioEscrever(), today);
    for (int i = 0; i < monthsForward; ++i) {
        QTest::mouseClick(host.button("btnNext2"), Qt::LeftButton);
    }
    host.calendar.showInWindow();
    QSignalSpy picked(&host.calendar, &MonthCalendar::dayPicked);
    QTest::mouseClick(host.calendar.cell(cell), Qt::LeftButton);
    QCOMPARE(picked.size(), 1);
    QCOMPARE(picked.first().first().toInt(), cell);
    QCOMPARE(host.calendar.grid().dateText(cell), date);
    QVERIFY(!host.calendar.isShownInWindow());
}

void TestMonthCalendar::pressedCellFeedback_data()
{
    QTest::addColumn<int>("monthsForward");
    QTest::addColumn<int>("day");
    QTest::addColumn<bool>("opaqueAfterRelease");
    // Today is 9 September 2026.
    QTest::newRow("today's own cell stays marked") << 0 << 9 << true;
    QTest::newRow("another day of this month") << 0 << 20 << false;
    QTest::newRow("same day number in another month") << 1 << 9 << false;
}

void TestMonthCalendar::pressedCellFeedback()
{
    QFETCH(int, monthsForward);
    QFETCH(int, day);
    QFETCH(bool, opaqueAfterRelease);
    CalendarHost host(CalendarLayout::CalendarioEscrever(), QDate(2026, 9, 9));
    for (int i = 0; i < monthsForward; ++i) {
        QTest::mouseClick(host.button("btnNext2"), Qt::LeftButton);
    }
    DayCell* cell = host.calendar.cell(host.calendar.grid().cellOfDay(day));
    const QColor before = cell->backColour();
    // Held with the right button, so that releasing it picks nothing.
    QTest::mousePress(cell, Qt::RightButton);
    QVERIFY(cell->isOpaque());
    QCOMPARE(cell->backColour(), MonthCalendar::pressedColour());
    QTest::mouseRelease(cell, Qt::RightButton);
    QCOMPARE(cell->isOpaque(), opaqueAfterRelease);
    QCOMPARE(cell->backColour(), before);
    QVERIFY(host.calendar.isShownInWindow() == false);

    // A blank cell shows no pressed look.
    DayCell* blank = host.calendar.cell(41);
    QTest::mousePress(blank, Qt::RightButton);
    QVERIFY(!blank->isOpaque());
    QTest::mouseRelease(blank, Qt::RightButton);
    QVERIFY(!blank->isOpaque());
}

void TestMonthCalendar::shownAndHiddenByMoving_data()
{
    addLayoutColumns();
    QTest::addColumn<int>("shownTop");
    QTest::addColumn<int>("hiddenTop");
    QTest::newRow("new-entry window") << &CalendarLayout::CalendarioEscrever() << 1360 << 4500;
    QTest::newRow("update window") << &CalendarLayout::CalendarioAtualizar() << 730 << 3840;
}

void TestMonthCalendar::shownAndHiddenByMoving()
{
    QFETCH(const CalendarLayout*, layout);
    QFETCH(int, shownTop);
    QFETCH(int, hiddenTop);
    CalendarHost host(*layout, QDate(2026, 9, 9));
    QCOMPARE(host.calendar.y(), Twips::toPixels(hiddenTop));
    QVERIFY(host.calendar.isVisible());
    host.calendar.showInWindow();
    QCOMPARE(host.calendar.y(), Twips::toPixels(shownTop));
    QVERIFY(host.calendar.isShownInWindow());
    host.calendar.hideInWindow();
    QCOMPARE(host.calendar.y(), Twips::toPixels(hiddenTop));
}

QTEST_MAIN(TestMonthCalendar)
#include "tst_monthcalendar.moc"
