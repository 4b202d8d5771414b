#include "transfer/entrycsvtime.h"

#include "expiry/expirystatus.h"
#include "storage/entryrecord.h"

namespace {

const QString isoDate = QStringLiteral("yyyy-MM-dd");
const QString isoTime = QStringLiteral("HH:mm:ss");

int twoDigits(const QString& text, qsizetype at)
{
    const auto digit = [&text](qsizetype i) {
        return text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9');
    };
    return digit(at) && digit(at + 1) ? text.mid(at, 2).toInt() : -1;
}

// The wall date and time of "yy.mm.dd.hh.mm.ss", or nothing.
std::optional<std::pair<QDate, QTime>> stampParts(const QString& stamp, QDate today)
{
    if (stamp.size() != 17) {
        return std::nullopt;
    }
    int parts[6];
    for (int i = 0; i < 6; ++i) {
        parts[i] = twoDigits(stamp, i * 3);
        if (parts[i] < 0 || (i < 5 && stamp.at(i * 3 + 2) != QLatin1Char('.'))) {
            return std::nullopt;
        }
    }
    const QDate date(ExpiryStatus::fullYear(parts[0], today), parts[1], parts[2]);
    const QTime time(parts[3], parts[4], parts[5]);
    if (!date.isValid() || !time.isValid()) {
        return std::nullopt;
    }
    return std::pair{date, time};
}

// A date as the vault stores it: dd/mm/yy, two digits each.
bool isStoredDate(const QString& text)
{
    return text.size() == 8 && text.at(2) == QLatin1Char('/') && text.at(5) == QLatin1Char('/') &&
           twoDigits(text, 0) >= 0 && twoDigits(text, 3) >= 0 && twoDigits(text, 6) >= 0;
}

// An ISO date and time with a zone, in local time; or nothing.
std::optional<QDateTime> zonedTime(const QString& text)
{
    const QDateTime read = QDateTime::fromString(text, Qt::ISODate);
    if (!read.isValid() || read.timeSpec() == Qt::LocalTime) {
        return std::nullopt;
    }
    return read.toLocalTime();
}

// An ISO date, alone or with a time and no zone, as the wall date and time it says; or nothing.
std::optional<std::pair<QDate, QTime>> wallTime(const QString& text)
{
    const QDate date = QDate::fromString(text.left(10), isoDate);
    if (text.size() == 10 && date.isValid()) {
        return std::pair{date, QTime(0, 0)};
    }
    const QTime time = QTime::fromString(text.mid(11), Qt::ISODate);
    if (!date.isValid() || !time.isValid() || text.size() < 11 || text.at(10) != QLatin1Char('T')) {
        return std::nullopt;
    }
    return std::pair{date, time};
}

// The vault writes two digits of the year: only the years it reads back as they were.
QString outsideStoredYears(const char* what, QDate date, QDate today)
{
    if (ExpiryStatus::fullYear(date.year() % 100, today) == date.year()) {
        return {};
    }
    return QStringLiteral("%1 fora dos anos que o cofre guarda (%2 a %3)")
        .arg(QString::fromUtf8(what))
        .arg(today.year() - 49)
        .arg(today.year() + 50);
}

} // namespace

namespace EntryCsvTime {

QString exportedStamp(const QString& stamp, QDate today)
{
    const auto parts = stampParts(stamp, today);
    if (!parts) {
        return stamp;
    }
    const QDateTime local(parts->first, parts->second, Qt::LocalTime);
    const QDateTime again = local.toUTC().toLocalTime();
    if (local.isValid() && again.date() == parts->first && again.time() == parts->second) {
        return local.toUTC().toString(isoDate + QLatin1Char('T') + isoTime + QLatin1Char('Z'));
    }
    return parts->first.toString(isoDate) + QLatin1Char('T') + parts->second.toString(isoTime);
}

QString exportedExpiry(const QString& expiry, QDate today)
{
    if (expiry == QLatin1String(EntryRecord::noExpiry)) {
        return {};
    }
    const QDate date = ExpiryStatus::parse(expiry, today);
    return date.isValid() ? date.toString(isoDate) : expiry;
}

Read importedStamp(const QString& text, QDate today)
{
    const QString invalid = QStringLiteral("data de modificação inválida: %1").arg(text);
    if (stampParts(text, today)) {
        return {text.toLatin1(), {}};
    }
    QDateTime when;
    if (const auto zoned = zonedTime(text)) {
        when = *zoned;
    } else if (const auto wall = wallTime(text)) {
        when = QDateTime(wall->first, wall->second, Qt::UTC);
    } else {
        return {{}, invalid};
    }
    if (const QString outside = outsideStoredYears("data de modificação", when.date(), today); !outside.isEmpty()) {
        return {{}, outside + QStringLiteral(": ") + text};
    }
    return {EntryRecord::updateStamp(when), {}};
}

Read importedExpiry(const QString& text, QDate today)
{
    if (text.isEmpty() || text == QLatin1String(EntryRecord::noExpiry)) {
        return {EntryRecord::noExpiry, {}};
    }
    if (isStoredDate(text)) {
        return {text.toLatin1(), {}};
    }
    QDate date = QDate::fromString(text, QStringLiteral("d/M/yyyy"));
    if (const auto zoned = zonedTime(text)) {
        date = zoned->date();
    } else if (const auto wall = wallTime(text)) {
        date = wall->first;
    }
    if (!date.isValid()) {
        return {{}, QStringLiteral("data de vencimento inválida: %1").arg(text)};
    }
    if (const QString outside = outsideStoredYears("data de vencimento", date, today); !outside.isEmpty()) {
        return {{}, outside + QStringLiteral(": ") + text};
    }
    return {date.toString(QStringLiteral("dd/MM/yy")).toLatin1(), {}};
}

} // namespace EntryCsvTime
