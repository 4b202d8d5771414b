#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>

// An entry is one Windows-1252 text: seven fields joined by the separator, line breaks stored as the line-break
// mark, so that a record never spans two lines.
namespace EntryRecord {

enum Field
{
    Title = 0,
    Expiry = 1,
    Posted = 2,
    Login = 3,
    Password = 4,
    Address = 5,
    Description = 6,
    FieldCount = 7,
};

constexpr char separator = '\xA7';     // §
constexpr char lineBreakMark = '\xA5'; // ¥
inline constexpr char noExpiry[] = "----/----/----";

// Joins the seven fields and replaces every CR LF of the joined text by the line-break mark.
QByteArray join(const QList<QByteArray>& fields);
// The field at the position, or an empty text when the record has fewer fields.
QByteArray field(const QByteArray& record, int position);
// The same without a copy, valid as long as the record's bytes are.
QByteArrayView fieldView(QByteArrayView record, int position);

// "yy.mm.dd.hh.mm.ss", 24-hour clock, two digits each.
QByteArray updateStamp(const QDateTime& when);
// The date of an update stamp as dd/mm/yy; missing pieces stay empty.
QByteArray stampDate(const QByteArray& stamp);
// The description with every line-break mark turned back into CR LF.
QByteArray descriptionLines(const QByteArray& description);

} // namespace EntryRecord
