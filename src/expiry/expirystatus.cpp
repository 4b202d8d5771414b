#include "expiry/expirystatus.h"

#include "storage/entrylist.h"
#include "storage/entryrecord.h"

namespace {

QString days(qint64 count)
{
    return count == 1 ? QStringLiteral("1 dia") : QStringLiteral("%1 dias").arg(count);
}

} // namespace

ExpiryStatus::ExpiryStatus(const QString& expiry, QDate today) : ExpiryStatus(parse(expiry, today), today) {}

ExpiryStatus::ExpiryStatus(QDate date, QDate today)
{
    if (!date.isValid() || !today.isValid()) {
        return;
    }
    m_daysLeft = today.daysTo(date);
    if (m_daysLeft < 0) {
        m_kind = Kind::Expired;
    } else if (m_daysLeft <= soonDays) {
        m_kind = Kind::Soon;
    }
}

QString ExpiryStatus::description() const
{
    switch (m_kind) {
    case Kind::None:
        break;
    case Kind::Expired:
        return QStringLiteral("Vencida há %1").arg(days(-m_daysLeft));
    case Kind::Soon:
        return m_daysLeft == 0 ? QStringLiteral("Vence hoje") : QStringLiteral("Vence em %1").arg(days(m_daysLeft));
    }
    return {};
}

QDate ExpiryStatus::parse(const QString& expiry, QDate today)
{
    // A character beyond Latin-1 becomes '?', which no date holds.
    return parse(QByteArrayView(expiry.toLatin1()), today);
}

QDate ExpiryStatus::parse(QByteArrayView expiry, QDate today)
{
    // dd/mm/yy: two ASCII digits each, nothing before or after.
    const auto number = [&expiry](qsizetype at) {
        const auto digit = [](char c) { return c >= '0' && c <= '9'; };
        return digit(expiry[at]) && digit(expiry[at + 1]) ? (expiry[at] - '0') * 10 + (expiry[at + 1] - '0') : -1;
    };
    if (expiry.size() != 8 || expiry[2] != '/' || expiry[5] != '/') {
        return {};
    }
    const int day = number(0);
    const int month = number(3);
    const int year = number(6);
    if (day < 0 || month < 0 || year < 0) {
        return {};
    }
    return {fullYear(year, today), month, day};
}

int ExpiryStatus::fullYear(int twoDigits, QDate today)
{
    const int thisYear = today.year(); // worked out from the day's number each time it is asked
    const int year = thisYear / 100 * 100 + twoDigits;
    if (year > thisYear + 50) {
        return year - 100;
    }
    return year <= thisYear - 50 ? year + 100 : year;
}

qsizetype ExpiryStatus::countExpired(const EntryList& entries, QDate today)
{
    qsizetype count = 0;
    for (qsizetype index = 0; index < entries.size(); ++index) {
        // Read from the record's own bytes: the dates of a large vault are counted before its window shows.
        const QByteArrayView expiry = EntryRecord::fieldView(entries.at(index), EntryRecord::Expiry);
        if (ExpiryStatus(parse(expiry, today), today).kind() == Kind::Expired) {
            ++count;
        }
    }
    return count;
}

QString ExpiryStatus::expiredNotice(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 senha vencida") : QStringLiteral("%1 senhas vencidas").arg(count);
}
