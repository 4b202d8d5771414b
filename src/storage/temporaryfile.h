#pragma once

#include <QByteArray>
#include <QString>

// The files a save writes before they take a data file's place. They are named after the target plus
// ".keyhound-" and six letters or digits, readable and writable by their owner only from the start, and marked with
// an extended attribute, set by no other program, that holds the file's own number: what an interrupted save left
// can so be told apart from any file of the user's own, whatever its name, age or owner, even a copy that kept the
// attribute. A file the program wrote keeps its mark as pswd.tab and as the backup. A file system without extended
// attributes keeps no mark, and its leftovers are then left alone.
namespace TemporaryFile {

// Creates a new temporary file for the target, open for writing, owner-only and marked; sets the path it got.
// Returns the descriptor, or -1 with errno set.
int create(const QString& target, QByteArray& path);

// Whether the file at the path carries the mark set on it.
bool isMarked(const QByteArray& path);

// Whether the name is one of the temporary names of the target's name.
bool isTemporaryName(const QString& name, const QString& targetName);

// A temporary name for the target that is not in use at this moment.
QByteArray unusedPath(const QString& target);

} // namespace TemporaryFile
