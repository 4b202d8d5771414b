#include "calendar/monthgrid.h"

#include "storage/entryrecord.h"

#include <array>

namespace {

constexpr std::array<int, 12> monthLengths = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

MonthGrid::MonthGrid(int year, int month) : m_year(year), m_month(month) {}

bool MonthGrid::isLeapYear(int year)
{
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int MonthGrid::daysInMonth(int year, int month)
{
    return month == 2 && isLeapYear(year) ? 29 : monthLengths[size_t(month - 1)];
}

QString MonthGrid::monthName(int month, Names names)
{
    static const std::array<QString, 12> full = {
        QStringLiteral("Janeiro"),  QStringLiteral("Fevereiro"), QStringLiteral("Março"),    QStringLiteral("Abril"),
        QStringLiteral("Maio"),     QStringLiteral("Junho"),     QStringLiteral("Julho"),    QStringLiteral("Agosto"),
        QStringLiteral("Setembro"), QStringLiteral("Outubro"),   QStringLiteral("Novembro"), QStringLiteral("Dezembro"),
    };
    // The short names are the first three letters of the full ones.
    const QString& name = full[size_t(month - 1)];
    return names == Names::Full ? name : name.left(3);
}

int MonthGrid::firstWeekday() const
{
    // QDate counts Monday = 1 to Sunday = 7.
    return QDate(m_year, m_month, 1).dayOfWeek() % 7 + 1;
}

int MonthGrid::cellOfDay(int day) const
{
    return firstWeekday() - 1 + day - 1;
}

int MonthGrid::dayOfCell(int cell) const
{
    const int day = cell - (firstWeekday() - 1) + 1;
    return day >= 1 && day <= daysInMonth() ? day : 0;
}

bool MonthGrid::isMonthOf(const QDate& date) const
{
    return date.year() == m_year && date.month() == m_month;
}

QString MonthGrid::title(Names names) const
{
    return monthName(m_month, names) + QStringLiteral("  ") + QString::number(m_year);
}

QString MonthGrid::dateText(const QDate& date)
{
    if (!date.isValid()) {
        return QString::fromLatin1(EntryRecord::noExpiry);
    }
    return twoDigits(date.day()) + QLatin1Char('/') + twoDigits(date.month()) + QLatin1Char('/') +
           twoDigits(date.year());
}

void MonthGrid::showMonthOf(const QDate& date)
{
    m_year = date.year();
    m_month = date.month();
}

bool MonthGrid::stepBack()
{
    if (m_month > 1) {
        --m_month;
        return true;
    }
    if (m_year <= firstYear) {
        return false;
    }
    m_month = 12;
    --m_year;
    return true;
}

bool MonthGrid::stepForward()
{
    if (m_month < 12) {
        ++m_month;
        return true;
    }
    if (m_year >= lastYear) {
        return false;
    }
    m_month = 1;
    ++m_year;
    return true;
}
