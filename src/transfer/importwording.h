#pragma once

#include <QString>

class EntryMerge;
namespace MergeSave {
struct Outcome;
}

// What the user reads about the merge an import makes, in Portuguese, beside the counts of the import's report.
namespace ImportWording {

// ", 1 atualizada": the stored entries replaced by a later version; empty when there are none.
QString updated(const EntryMerge& merge);
// ", 1 mais antiga que a do cofre": the records left out for an older version; empty when there are none.
QString older(const EntryMerge& merge);
// Why a record was left out as older, after its name.
QString olderReason();
// Why the import could not be stored, and that nothing was changed.
QString failure(const MergeSave::Outcome& outcome);

} // namespace ImportWording
