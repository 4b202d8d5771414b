#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QStringList>

class EntryList;

// The entries as comma-separated values that KeePassXC's CSV import takes: a header, then per entry its title, login
// ("Username"), password, address ("URL"), description ("Notes", line breaks as line feeds), expiry date ("Expires",
// yyyy-mm-dd, empty for none) and update stamp ("Last Modified", yyyy-mm-ddThh:mm:ss). Reading takes such a file and
// KeePassXC's own export (Group, Title, Username, Password, URL, Notes, ...), the columns found by their names.
namespace EntryCsv {

// Dates are read in the century that puts them nearest to today; a field that is not a date is written as stored.
QByteArray write(const EntryList& entries, QDate today);

struct Import
{
    // Records to add, in the order of the file.
    QList<QByteArray> records;
    // Why a row was left out, one line each ("linha 4: ..."); nothing of such a row is added, nothing is cut.
    QStringList skipped;
    // Why nothing could be read at all; empty when the file was read.
    QString error;
};

// Rows identical to a stored entry, or to an earlier row, are left out. A row without a modification date is stamped
// with now.
Import read(const QByteArray& csv, const EntryList& stored, const QDateTime& now);

} // namespace EntryCsv
