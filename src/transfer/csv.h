#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated values in UTF-8: fields in double quotes with their quotes doubled, so that commas, quotes and
// line breaks may stand inside a field.
namespace Csv {

// Every field quoted and every row ended by a line feed, as KeePassXC writes its own files.
QByteArray write(const QList<QStringList>& rows);

struct Table
{
    QList<QStringList> rows;
    // The line of the file on which each row begins, counted from 1.
    QList<int> lines;
    // Empty when the whole file was read; otherwise why it could not be.
    QString error;
};

// Reads rows ended by CR LF or LF, with or without a byte order mark. Blank lines are left out.
Table read(const QByteArray& bytes);

} // namespace Csv
