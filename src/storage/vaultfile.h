#pragma once

#include "storage/entrylist.h"

#include <QByteArray>
#include <QList>

// pswd.tab: one encoded line per entry record, under the installation key. Every change rewrites the whole file.
namespace VaultFile {

inline constexpr char fileName[] = "pswd.tab";

// The file of an empty vault: its body is a single CR LF.
QByteArray emptyFile();

// The file with every record of the list, each line followed by CR LF.
QByteArray withEntries(const EntryList& entries, const QByteArray& key);
// The file with every record of the list, each line followed by CR LF, and the new record last without one.
QByteArray withAddedRecord(const EntryList& entries, const QByteArray& record, const QByteArray& key);
// The file with every record of the list, each line followed by CR LF, the record at index replaced. An empty
// replacement leaves an empty line in the deleted entry's place.
QByteArray withReplacedRecord(const EntryList& entries, qsizetype index, const QByteArray& replacement,
                              const QByteArray& key);

QList<QByteArray> decode(QByteArrayView contents, const QByteArray& key);

} // namespace VaultFile
