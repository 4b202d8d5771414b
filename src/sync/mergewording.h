#pragma once

#include <QString>

class ConflictScan;
class EntryMerge;
namespace MergeSave {
struct Outcome;
}

// What the user reads about a merge of copies, in Portuguese.
namespace MergeWording {

// "3 entradas novas, 1 atualizada, 12 iguais", and the older versions left in the copies when there are any.
QString counts(const EntryMerge& merge);
// That the master password and start answer of a later cnfg.tab are taken; empty when they are not.
QString settingsNote(const ConflictScan& scan);
// The copies found, what merging them would do, and the question whether to merge.
QString question(const ConflictScan& scan);
// The copies that cannot be merged and why, each on a line; empty when there are none.
QString unreadable(const ConflictScan& scan);
// Why a save of merged entries failed, without what it leaves.
QString reason(const MergeSave::Outcome& outcome);
// Why the merge failed, and that nothing was changed.
QString failure(const MergeSave::Outcome& outcome);
// What the merge did.
QString done(const ConflictScan& scan, const MergeSave::Outcome& outcome);

} // namespace MergeWording
