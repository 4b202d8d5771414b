#pragma once

#include <QString>

// The temporary files that an interrupted save leaves beside a data file.
namespace LeftoverFiles {

// Removes those of the file at the path that are surely the program's own and stale: named as the atomic writer
// names them, regular files (not links), owned by the user, and last written before the file itself was last
// saved whole. Anything else is left alone, a save still running in a second copy of the program among them.
void remove(const QString& path);

} // namespace LeftoverFiles
