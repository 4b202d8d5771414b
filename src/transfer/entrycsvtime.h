#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

// The dates and times of an entry as CSV files write them. The vault keeps the update stamp in local time and every
// year in two digits, read in the century that puts it nearest to today; CSV files have ISO dates and times, those
// of KeePassXC in UTC.
namespace EntryCsvTime {

// "yyyy-mm-ddThh:mm:ssZ" in UTC. A stamp the local clock never showed (the hour skipped when summer time begins)
// keeps its wall time without a zone, so that reading it back gives the same stamp; a stamp that is no date and
// time stays as stored.
QString exportedStamp(const QString& stamp, QDate today);
// "yyyy-mm-dd", empty for none; a text that is no date stays as stored.
QString exportedExpiry(const QString& expiry, QDate today);

struct Read
{
    // The value the vault stores; empty when the text was refused.
    QByteArray value;
    // Why the text was refused.
    QString refusal;
};

// An ISO date and time, turned into local time when it names a zone ("Z", "+01:00"); an ISO date; or a stamp as the
// vault stores it.
Read importedStamp(const QString& text, QDate today);
// Empty for none; an ISO date, or date and time (its local date when it names a zone); dd/mm/yyyy; or a date as the
// vault stores it.
Read importedExpiry(const QString& text, QDate today);

} // namespace EntryCsvTime
