#pragma once

#include "transfer/kdbx/kdbxentry.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QStringList>

class EntryList;

// Entries of the vault as KeePass entries and back. The update stamp, local time, becomes the modification time;
// an expiry date, valid through its day, expires at its last second, local time.
namespace EntryKdbx {

// A stamp or date that cannot be read leaves the time as now, or the entry without expiry.
KdbxEntry entryOf(const QByteArray& record, const QDateTime& now);

struct Import
{
    // Records to add, in the order of the database.
    QList<QByteArray> records;
    // Entries that the vault cannot hold, each named by its title with the reason.
    QStringList refused;
    // Entries equal to a stored entry or to an earlier one of the database, left out.
    qsizetype repeated = 0;
    // Of each record, whether its entry had no modification time, so that it was stamped with now.
    QList<bool> undated;
    // Of each record, its entry's title in quotes.
    QStringList names;
};

// Values longer than the entry windows' boxes are kept whole. An entry without a modification time is stamped now.
Import recordsOf(const QList<KdbxEntry>& entries, const EntryList& stored, const QDateTime& now);

} // namespace EntryKdbx
