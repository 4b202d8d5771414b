#pragma once

#include <QFile>
#include <QString>

// The file an import reads. Only a regular file is read: a named pipe would make the import wait for ever and a
// device such as /dev/zero never ends. A file larger than any real export is refused before a byte of it is read.
namespace CsvFile {

// The same limit as for the data files: some 300,000 entries.
inline constexpr qint64 sizeLimit = qint64(256) << 20;

// Opens the file for reading without waiting on a pipe. Empty on success, otherwise why it cannot be imported.
QString open(QFile& file, const QString& path);

} // namespace CsvFile
