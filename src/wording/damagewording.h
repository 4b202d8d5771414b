#pragma once

#include "storage/storageresult.h"

#include <QString>

// What the user is told when pswd.tab holds lines that no save writes, with where its bytes are kept.
namespace DamageWording {

// "1 linha danificada", "3 linhas danificadas".
QString lines(qsizetype count);

// The sentence of a note about damaged lines (StorageReason::DamagedAtStart and the others after it).
QString sentence(const StorageNote& note);

} // namespace DamageWording
