#pragma once

#include "storage/entrylist.h"

#include <QByteArray>
#include <QList>

#include <functional>

// pswd.tab: one encoded line per entry record, under the installation key. Every change rewrites the whole file.
namespace VaultFile {

inline constexpr char fileName[] = "pswd.tab";

// The file of an empty vault: its body is a single CR LF.
QByteArray emptyFile();

// Takes the file a piece at a time, in order; false stops the writing.
using Sink = std::function<bool(QByteArrayView piece)>;

// The file with every record of the list, each line followed by CR LF. Encoded and handed on as below.
bool writeEntries(const Sink& sink, const EntryList& entries, const QByteArray& key);
// The file with every record of the list, each line followed by CR LF, and the new record last without one.
// Encoded into one buffer of about 1 MB that is handed to the sink whenever it fills; false when the sink stopped.
bool writeWithAddedRecord(const Sink& sink, const EntryList& entries, const QByteArray& record, const QByteArray& key);
// The same with several new records last, each line but the last followed by CR LF.
bool writeWithAddedRecords(const Sink& sink, const EntryList& entries, const QList<QByteArray>& records,
                           const QByteArray& key);
// The file with every record of the list, each line followed by CR LF, the record at index replaced. Encoded and
// handed on as above.
bool writeWithReplacedRecord(const Sink& sink, const EntryList& entries, qsizetype index, const QByteArray& replacement,
                             const QByteArray& key);
// The same with the record at index deleted: an empty line stays in its place, which reading leaves out.
bool writeWithDeletedRecord(const Sink& sink, const EntryList& entries, qsizetype index, const QByteArray& key);

// The file with the record added whole, for small vaults.
QByteArray withAddedRecord(const EntryList& entries, const QByteArray& record, const QByteArray& key);

QList<QByteArray> decode(QByteArrayView contents, const QByteArray& key);

} // namespace VaultFile
