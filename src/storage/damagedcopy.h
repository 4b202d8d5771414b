#pragma once

#include <QString>

// A copy of a damaged data file's original bytes, kept beside it before anything could rewrite it.
namespace DamagedCopy {

inline constexpr char suffix[] = ".danificado";

enum class Outcome
{
    Copied,
    // A copy of that name exists already and was left as it is.
    KeptEarlier,
    Failed,
};

struct Result
{
    Outcome outcome;
    // Why the copy failed, from the system.
    QString reason;
};

// Copies the bytes of the source to the copy's path, readable and writable by the owner only, and syncs both to
// disk. An existing copy is never replaced, nor is a link at its path followed; a copy that fails leaves nothing.
Result keep(const QString& sourcePath, const QString& copyPath);

} // namespace DamagedCopy
