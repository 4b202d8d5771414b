#pragma once

#include <QDate>
#include <QString>

// One month laid out as the calendar shows it: 6 rows of 7 cells, Sunday first, cell = row * 7 + column. The first
// day sits in the column of its weekday; cells before it and after the last day stay blank. The month can be moved
// one step at a time within January 1753 to December 2078.
class MonthGrid
{
public:
    static constexpr int firstYear = 1753;
    static constexpr int lastYear = 2078;
    static constexpr int columnCount = 7;
    static constexpr int rowCount = 6;
    static constexpr int cellCount = columnCount * rowCount;

    // The two name tables: the new-entry window writes the full names, the update window the three-letter ones.
    enum class Names
    {
        Full,
        Short,
    };

    MonthGrid(int year, int month);

    static bool isLeapYear(int year);
    static int daysInMonth(int year, int month);
    static QString monthName(int month, Names names);

    int year() const { return m_year; }
    int month() const { return m_month; }
    int daysInMonth() const { return daysInMonth(m_year, m_month); }
    // 1 = Sunday to 7 = Saturday.
    int firstWeekday() const;
    int cellOfDay(int day) const;
    // The day shown in the cell, or 0 for a blank cell.
    int dayOfCell(int cell) const;
    bool isMonthOf(const QDate& date) const;

    // The month's name and the year two spaces apart: "Dezembro  2026".
    QString title(Names names) const;
    // The date as an entry holds it, dd/mm/yy, or the no-date placeholder for an invalid date.
    static QString dateText(const QDate& date);

    void showMonthOf(const QDate& date);
    // One month back or forward; false, with nothing changed, when that would leave the years allowed.
    bool stepBack();
    bool stepForward();

private:
    int m_year;
    int m_month;
};
