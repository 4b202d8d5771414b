#pragma once

#include "storage/filefault.h"

#include <QString>

class QFile;

// Copies of a damaged data file's original bytes, kept beside it before anything could rewrite it. The first copy
// is <name>.danificado, later ones, of other damage, <name>.danificado.2, .3 and so on; none is ever replaced.
namespace DamagedCopy {

inline constexpr char suffix[] = ".danificado";
// More copies than this are not made: something keeps damaging the file.
inline constexpr int lastNumber = 99;

enum class Outcome
{
    Copied,
    // A copy holding the same bytes exists already and was left as it is.
    KeptEarlier,
    Failed,
};

struct Result
{
    Outcome outcome = Outcome::Failed;
    // Where the bytes are kept: the new copy, or the earlier one that holds them.
    QString path;
    // Why the copy failed.
    FileFault reason;
};

// The path of the copy of that number, the first one's path given.
QString numberedPath(const QString& firstPath, int number);

// Keeps the bytes of the source, open for reading, in the first numbered copy whose name is free, readable and writable
// by the owner only, synced to disk with its folder; nothing when a copy of any number holds the same bytes already. An
// existing copy is never replaced, nor is a link at a copy's path followed; a copy that fails leaves nothing.
Result keep(QFile& source, const QString& firstCopyPath);

} // namespace DamagedCopy
