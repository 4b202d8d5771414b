#include "accessibility/accessibility.h"
#include "calendar/daycell.h"
#include "calendar/monthcalendar.h"
#include "support/input.h"
#include "support/recordingplatform.h"

#include <QAccessible>

namespace {

// The new-entry window's calendar, shown in a window, with a clock fixed at ten o'clock of the given day.
struct CalendarHost
{
    explicit CalendarHost(QDate today)
        : calendar(
              CalendarLayout::CalendarioEscrever(), platform, [today] { return today.startOfDay().addSecs(36000); },
              &window)
    {
        window.show();
        calendar.showInWindow();
    }
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
    void picking_data();
    void picking();
    void daysReadAsDates_data();
    void daysReadAsDates();
    void tabStaysInTheOpenCalendar();
};

void TestMonthCalendar::months_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QByteArrayList>("pressed");
    QTest::addColumn<QDate>("shown");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("refused");
    const auto row = [](const char* name, QDate today, const QByteArrayList& pressed, QDate shown, const char* title,
                        bool refused = false) {
        QTest::newRow(name) << today << pressed << shown << QString::fromUtf8(title) << refused;
    };
    const QByteArray next("btnNext2"), previous("btnPrev2");
    // The month's days and the steps are the grid's, tested without a window; here what the window shows of them.
    row("into the next year", QDate(2026, 12, 15), {next}, QDate(2027, 1, 1), "Janeiro  2027");
    row("back to this month", QDate(2026, 12, 15), {previous, "btnAtual2"}, QDate(2026, 12, 1), "Dezembro  2026");
    row("before January 1753: refused", QDate(1753, 1, 10), {previous}, QDate(1753, 1, 1), "Janeiro  1753", true);
    row("after December 2078: refused", QDate(2078, 12, 10), {next}, QDate(2078, 12, 1), "Dezembro  2078", true);
}

// Days under their weekdays, Sunday first, today marked only in its month; the arrows stop at the years allowed.
void TestMonthCalendar::months()
{
    QFETCH(QDate, today);
    QFETCH(QByteArrayList, pressed);
    QFETCH(QDate, shown);
    QFETCH(bool, refused);
    CalendarHost host(today);
    for (const QByteArray& button : pressed) {
        click(child(&host.calendar, button.constData()));
    }
    QTEST(textOf(child(&host.calendar, "TitMesAno2")), "title");
    const int firstCell = shown.dayOfWeek() % 7;
    for (int cell = 0; cell < MonthGrid::cellCount; ++cell) {
        const int day = cell - firstCell + 1;
        const bool inMonth = day >= 1 && day <= shown.daysInMonth();
        QCOMPARE(host.calendar.cell(cell)->text(), inMonth ? QStringLiteral(" %1").arg(day) : " ");
    }
    const int todaysCell = firstCell + today.day() - 1;
    QCOMPARE(host.cellsMarkedAsToday(), shown.addDays(today.day() - 1) == today ? QList{todaysCell} : QList<int>{});
    QCOMPARE(host.platform.messages.size(), refused ? 1 : 0);
    QVERIFY(!refused || host.platform.messages.first().text ==
                            QStringLiteral("Ano inválido. O ano deve estar no \nintervalo de 1753 a 2078, inclusive."));
}

void TestMonthCalendar::picking_data()
{
    QTest::addColumn<int>("pressed");
    QTest::addColumn<QList<Qt::Key>>("keys");
    QTest::addColumn<QString>("picked");
    using enum Qt::Key;
    const QList<Qt::Key> noKeys;
    // March 2008 starts on a Saturday: today, the 15th, is cell 20, where Tab enters the days.
    QTest::newRow("today's cell pressed and released on it") << 20 << noKeys << "15/03/08";
    QTest::newRow("today's cell pressed, released outside it") << 20 << noKeys << "";
    QTest::newRow("another day pressed and released on it") << 24 << noKeys << "19/03/08";
    QTest::newRow("a blank cell pressed and released on it") << 3 << noKeys << "----/----/----";
    QTest::newRow("Left stops at the first day")
        << -1 << QList{Key_Up, Key_Up, Key_Left, Key_Left, Key_Return} << "01/03/08";
    QTest::newRow("Right stops at the last day")
        << -1 << QList{Key_Down, Key_Down, Key_Right, Key_Right, Key_Right, Key_Return} << "31/03/08";
    QTest::newRow("Escape closes the calendar, nothing picked") << -1 << QList{Key_Left, Key_Escape} << "";
}

// A cell held by the mouse shows it; afterwards today's cell is marked again, and only it.
void TestMonthCalendar::picking()
{
    QFETCH(int, pressed);
    QFETCH(QList<Qt::Key>, keys);
    QFETCH(QString, picked);
    CalendarHost host(QDate(2008, 3, 15));
    QString date;
    connect(&host.calendar, &MonthCalendar::datePicked, [&](const QDate& day) { date = MonthGrid::dateText(day); });
    if (pressed >= 0) {
        DayCell* cell = host.calendar.cell(pressed);
        const QColor before = host.shownColour(pressed);
        QTest::mousePress(cell, Qt::LeftButton);
        // Only a day shows that it is held.
        QCOMPARE(host.shownColour(pressed), cell->text() == " " ? before : MonthCalendar::pressedColour());
        QTest::mouseRelease(cell, Qt::LeftButton, {}, !picked.isEmpty() ? cell->rect().center() : QPoint(-5, -5));
    }
    QApplication::setActiveWindow(&host.window);
    for (int tab = 0; tab < 4 && !keys.isEmpty() && !qobject_cast<DayCell*>(QApplication::focusWidget()); ++tab) {
        QTest::keyClick(&host.window, Qt::Key_Tab);
    }
    for (Qt::Key key : keys) {
        QTest::keyClick(QApplication::focusWidget(), key);
    }
    QCOMPARE(date, picked);
    QCOMPARE(host.cellsMarkedAsToday(), QList<int>{20});
    QCOMPARE(host.calendar.isShownInWindow(), picked.isEmpty() && !keys.contains(Qt::Key_Escape));
}

void TestMonthCalendar::daysReadAsDates_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("button");
    QTest::addColumn<bool>("checked");
    // March 2008 starts on a Saturday; today is the 15th (cell 20), the 19th (cell 24) was picked.
    QTest::newRow("today") << 20 << "sábado, 15 de março de 2008, hoje" << true << false;
    QTest::newRow("the day picked") << 24 << "quarta-feira, 19 de março de 2008" << true << true;
    QTest::newRow("the first day") << 6 << "sábado, 1 de março de 2008" << true << false;
    QTest::newRow("a blank cell: nothing to read") << 0 << "" << false << false;
}

// A screen reader reads a day as a button named by its full date, today said, the day picked checked.
void TestMonthCalendar::daysReadAsDates()
{
    QFETCH(int, cell);
    Accessibility::install();
    CalendarHost host(QDate(2008, 3, 15));
    click(host.calendar.cell(24));
    host.calendar.showInWindow();
    QAccessibleInterface* day = QAccessible::queryAccessibleInterface(host.calendar.cell(cell));
    QTEST(day->text(QAccessible::Name), "name");
    QTEST(day->role() == QAccessible::Button, "button");
    QTEST(bool(day->state().checked), "checked");
}

// The open calendar takes the focus at today's day and Tab goes round its own four stops only; closed, the focus
// returns to where it was.
void TestMonthCalendar::tabStaysInTheOpenCalendar()
{
    CalendarHost host(QDate(2008, 3, 15));
    host.calendar.hideInWindow();
    host.window.resize(800, 600);
    auto* box = new QWidget(&host.window);
    box->setGeometry(700, 500, 10, 10);
    box->setFocusPolicy(Qt::StrongFocus);
    box->show();
    box->setFocus();
    QApplication::setActiveWindow(&host.window);
    host.calendar.showInWindow();
    QStringList walked;
    for (int tab = 0; tab < 5; ++tab) {
        walked.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walked, (QStringList{"Casa2_20", "btnPrev2", "btnAtual2", "btnNext2", "Casa2_20"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("btnNext2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), box);
    QVERIFY(!host.calendar.isVisible());
}

QTEST_MAIN(TestMonthCalendar)
#include "tst_monthcalendar.moc"
