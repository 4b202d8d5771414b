#pragma once

#include <QString>

// The previous version of a data file, kept beside it as <name>.bak, readable and writable by its owner only, so
// that one step back is always possible.
namespace BackupFile {

QString pathOf(const QString& path);

// Makes the backup the file now at the path, in one step: a hard link to it renamed over the backup (no copy, no
// space), or an atomic copy where the file system has no hard links. Nothing to keep when the file does not exist.
// Returns the reason of a failure, empty on success.
QString keep(const QString& path);

} // namespace BackupFile
