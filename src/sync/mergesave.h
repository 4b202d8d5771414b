#pragma once

#include "storage/filefault.h"

#include <QString>
#include <QStringList>

class ConflictScan;
class EntryMerge;
class Vault;

// Puts a merge in place as one step: the merged pswd.tab and, when a copy's settings were saved later, cnfg.tab
// are written whole beside their files first; only then are the merged copies renamed and the new files put in
// place, each keeping the file it replaces as its backup. A failure at any step undoes the steps before it, so
// that the data files and the copies are left byte for byte as they were.
namespace MergeSave {

inline constexpr char mergedSuffix[] = ".juntado";

struct Outcome
{
    enum class Failure
    {
        None,
        // A data file or a copy changed after it was read.
        ChangedMeanwhile,
        // A data file may not be written: the reason says why.
        Refused,
        Write,
        Rename,
    };

    Failure failure = Failure::None;
    // The file the failure concerns, and why it failed.
    QString path;
    FileFault reason;
    // The new names of the merged copies.
    QStringList renamed;

    bool ok() const { return failure == Failure::None; }
};

Outcome save(const Vault& vault, const ConflictScan& scan);
// Only the merged records into pswd.tab, as one step: entries brought from a file that is no copy of the vault.
Outcome saveEntries(const Vault& vault, const EntryMerge& merge);

} // namespace MergeSave
