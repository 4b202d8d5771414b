#pragma once

#include <QColor>
#include <QDate>
#include <QLabel>

// One day cell of the month calendar. Its caption is the day with a space in front (" 7"), or a single space when
// the cell is blank. A transparent cell shows the calendar's background; an opaque one is filled with its colour.
// With the keyboard focus it is framed in gold; Space or Enter picks it as a click does, and the arrow keys ask the
// calendar to move the focus to a neighbouring day.
class DayCell : public QLabel
{
    Q_OBJECT

public:
    DayCell(const QString& objectName, int index, QWidget* parent);

    int index() const { return m_index; }
    bool isBlank() const { return text() == blankCaption(); }
    bool isOpaque() const { return m_opaque; }
    QColor backColour() const { return m_backColour; }
    void setOpaque(bool opaque);
    void setBackColour(const QColor& colour);

    // The date the cell shows (invalid when blank), and whether it is today and the date the window holds.
    void setDay(const QDate& date, bool today, bool chosen);
    QDate date() const { return m_date; }
    bool isToday() const { return m_today; }
    bool isChosen() const { return m_chosen; }
    // Picks the cell as a click does, for the keyboard and for assistive tools.
    void pick() { emit clicked(this); }

    static QString blankCaption() { return QStringLiteral(" "); }
    static QString caption(int day) { return QLatin1Char(' ') + QString::number(day); }

signals:
    void pressed(DayCell* cell);
    void released(DayCell* cell);
    void clicked(DayCell* cell);
    // An arrow key: the cell that many places further on (-7 is the same weekday a week earlier).
    void stepRequested(DayCell* cell, int step);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_index;
    bool m_opaque = false;
    QColor m_backColour;
    QDate m_date;
    bool m_today = false;
    bool m_chosen = false;
};
