#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>

class EntryList;

// How an entry's expiry date stands on a given day. The date is valid through its own day: it has passed from the
// next day on. A two-digit year is read in the century that puts it nearest to today, so that "99" is 1999 and
// "30" is 2030 in 2026.
class ExpiryStatus
{
public:
    enum class Kind
    {
        // No date ("----/----/----"), a date that is not dd/mm/yy of a real day, or one more than 30 days ahead.
        None,
        // Today or within the next 30 days.
        Soon,
        Expired,
    };

    static constexpr int soonDays = 30;

    ExpiryStatus(const QString& expiry, QDate today);

    Kind kind() const { return m_kind; }
    // What the row's tool tip says: "Vencida há 3 dias", "Vence em 1 dia", "Vence hoje"; empty for None.
    QString description() const;

    // The expiry date of a text dd/mm/yy, or an invalid date.
    static QDate parse(const QString& expiry, QDate today);
    // The same of a record's Windows-1252 bytes, whose digits and slash are ASCII.
    static QDate parse(QByteArrayView expiry, QDate today);
    // The year of two digits in the century that puts it nearest to today.
    static int fullYear(int twoDigits, QDate today);
    // How many entries of the list have expired by today.
    static qsizetype countExpired(const EntryList& entries, QDate today);
    // "1 senha vencida", "3 senhas vencidas".
    static QString expiredNotice(qsizetype count);

private:
    ExpiryStatus(QDate date, QDate today);

    Kind m_kind = Kind::None;
    qint64 m_daysLeft = 0;
};
