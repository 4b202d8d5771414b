#pragma once

#include <QString>

// The temporary files that an interrupted save leaves beside a data file.
namespace LeftoverFiles {

// Removes those of the file at the path that are surely the program's own and stale: named as its temporary files
// are named and carrying their mark (see TemporaryFile), or still empty as a save killed before it could mark the
// file leaves it (nothing to lose), regular files (not links) owned by the user and readable by nobody else, and
// last written before the file itself was last saved whole. Anything else is left alone: the
// user's own files of any name, and a save still running in a second copy of the program.
void remove(const QString& path);

} // namespace LeftoverFiles
