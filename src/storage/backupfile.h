#pragma once

#include "storage/filefault.h"

#include <QByteArray>
#include <QString>

// The previous version of a data file, kept beside it as <name>.bak, readable and writable by its owner only, so
// that one step back is always possible. The backup is replaced only once the new file is in place.
namespace BackupFile {

QString pathOf(const QString& path);

// The backup of the file at the path could not be kept, for the error number.
FileFault notKept(const QString& path, int errorNumber);

// Whether the backup's path holds something a file cannot replace (a folder).
bool isBlocked(const QString& path);

// Gives the file now at the path a second, temporary name, owner-only, that can later be renamed over the backup: a
// hard link (no copy, no space), or a synced copy where the file system has no hard links. Leaves the name empty
// when there is no file to keep. Returns the reason of a failure, none on success.
FileFault prepare(const QString& path, QByteArray& secondName);

} // namespace BackupFile
