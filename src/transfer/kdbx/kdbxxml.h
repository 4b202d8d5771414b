#pragma once

#include "transfer/kdbx/kdbxentry.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

#include <optional>

class InnerStream;

// The XML document inside a KeePass file. Values marked protected are base64 text of their UTF-8 bytes combined
// with the inner stream, in document order; every protected value is read, also those of parts that are left out,
// so that the stream stays in step.
namespace KdbxXml {

// One group named after the program holding every entry; passwords protected. Times as KeePass 4 writes them.
QByteArray write(const QList<KdbxEntry>& entries, InnerStream& stream, const QDateTime& now);
// The entries of every group but the recycle bin, without their history; nullopt when the document is not
// well-formed KeePass XML.
std::optional<QList<KdbxEntry>> read(const QByteArray& xml, InnerStream& stream);

// A time as KeePass 4 writes it (base64 of the seconds since 0001-01-01 UTC, 64 bits little-endian), and a time
// read in that form or in the ISO 8601 form of KeePass 3 files; invalid when it is neither.
QString timeText(const QDateTime& time);
QDateTime timeOf(const QString& text);

} // namespace KdbxXml
