#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QStringList>

class EntryList;
class QIODevice;

// The entries as comma-separated values in the layout of KeePassXC's CSV export, column for column, so that its
// import puts every field in place: Group (one group for all entries), Title, Username (the login), Password, URL
// (the address), Notes (the description, line breaks as line feeds), TOTP and Icon (empty), Last Modified and
// Created (both the update stamp, in UTC), then Expires (the expiry date, yyyy-mm-dd, empty for none), which only
// this program reads. A cell that a spreadsheet would run as a formula gets an apostrophe before it, which reading
// such a file takes away again. Reading also takes KeePassXC's own export and the older layout of this program
// (Title, Username, Password, URL, Notes, Expires, Last Modified), the columns found by their names.
namespace EntryCsv {

QByteArray write(const EntryList& entries, QDate today);

struct Import
{
    // Records to add, in the order of the file.
    QList<QByteArray> records;
    // The rows left out because the vault cannot hold them exactly; nothing of such a row is added, nothing is cut.
    qsizetype refusedRows = 0;
    // The rows left out because they equal a stored entry or an earlier row.
    qsizetype repeatedRows = 0;
    // The rows added without their TOTP secret (KeePassXC's), which the vault has no field for.
    qsizetype incompleteRows = 0;
    // Why rows were left out or added incomplete, one line each in the order of the file, naming the row by its line
    // and title
    // ("linha 4, "Banco": ..."); only the first listedReasons, so that a huge file cannot fill the memory with them.
    QStringList reasons;
    // Why the file cannot be read as it is meant; nothing of it is to be added then.
    QString error;
    // Of each record, whether its row had no modification time, so that it was stamped with now.
    QList<bool> undated;
    // Of each record, its row as the reasons name it.
    QStringList names;
};

inline constexpr qsizetype listedReasons = 100;

// A row without a modification time is stamped with now, and is left out when a stored entry or an earlier row has
// the same fields whatever its stamp.
Import read(QIODevice& csv, const EntryList& stored, const QDateTime& now);

} // namespace EntryCsv
