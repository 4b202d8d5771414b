#pragma once

#include "calendar/calendarlayout.h"
#include "calendar/clock.h"
#include "calendar/monthgrid.h"

#include <QColor>
#include <QFrame>
#include <QList>
#include <QPointer>

class DayCell;
class Platform;
class PictureButton;
class QLabel;

// The month calendar frame (frameCalendario) of the two entry windows, from which the expiry date is picked. It is
// shown and hidden by moving it into and out of the window's client area. A click on a day cell reports the date
// and moves the frame out of sight; the window writes the date. While it is open it holds the keyboard: it takes the
// focus at today's day (or the month's first), Tab goes round its own controls only, and a box it covers never keeps
// the focus.
class MonthCalendar : public QFrame
{
    Q_OBJECT

public:
    MonthCalendar(const CalendarLayout& layout, Platform& platform, Clock clock, QWidget* parent);
    ~MonthCalendar() override;

    const MonthGrid& grid() const { return m_grid; }
    DayCell* cell(int index) const { return m_cells.at(index); }

    void showInWindow();
    void hideInWindow();
    bool isShownInWindow() const;
    // Closes the calendar if it is open and the key is Escape; true when it did.
    bool closeOnEscape(int key);
    // The date the window holds, marked among the days; an invalid date for none.
    void setChosenDate(const QDate& date);
    QDate chosenDate() const { return m_chosen; }
    QDate today() const;

    // Today's cell: 0xFFD5A6 as the 0xBBGGRR colours of the window designer.
    static QColor todayColour() { return QColor(0xA6, 0xD5, 0xFF); }
    // A day cell while a mouse button is held on it.
    static QColor pressedColour() { return QColor(0xF6, 0xD2, 0x7A); }

public slots:
    void MostraMesAtual();
    void MesAnterior();
    void ProximoMes();

signals:
    // A day cell was clicked: its date, or an invalid date for a blank cell.
    void datePicked(const QDate& date);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // The day cell Tab enters the days at.
    DayCell* entryCell() const;
    void keepFocusOffCoveredBoxes(QWidget* focused);
    void createTitleRow();
    void createCells();
    QLabel* createHiddenLabel(const QString& name);
    // Whether Tab reaches the month buttons and the grid, which it enters at today's cell or the month's first day.
    void setReachable(bool reachable);
    void moveFocus(DayCell* from, int step);
    void DesenhaMes();
    void AvisaAnoInvalido();
    bool isTodaysCell(const DayCell* cell) const;
    void pressCell(DayCell* cell);
    void releaseCell(DayCell* cell);
    void pickCell(DayCell* cell);

    const CalendarLayout& m_layout;
    Platform& m_platform;
    Clock m_clock;
    MonthGrid m_grid;
    QList<DayCell*> m_cells;
    bool m_open = false;
    bool m_reachable = false;
    // What had the focus when the calendar was shown; it gets it back when the calendar goes.
    QPointer<QWidget> m_opener;
    QLabel* m_title = nullptr;
    QLabel* m_todayDay = nullptr;
    QLabel* m_shownMonth = nullptr;
    QLabel* m_shownYear = nullptr;
    // The colour a cell had before it was pressed, given back on release.
    QColor m_colourBeforePress;
    QDate m_chosen;
};
