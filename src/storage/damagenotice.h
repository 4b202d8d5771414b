#pragma once

#include "storage/damagedcopy.h"

#include <QString>

// What the user is told when pswd.tab holds lines that no save writes, with where its bytes are kept.
namespace DamageNotice {

// "1 linha danificada", "3 linhas danificadas".
QString lines(qsizetype count);

// Found when the program read the file at start: the list shows what could be read, damaged lines included.
QString atStart(qsizetype count, const DamagedCopy::Result& copy);
// Found when a save read again a file changed outside the program: the list kept the entries it showed, and the
// change was written with them, or not.
QString afterOutsideChange(qsizetype count, const DamagedCopy::Result& copy, bool saved);
// Found at start in a vault opened read-only, which nothing writes over.
QString readOnly(qsizetype count);
// The copy could not be made, so nothing was written.
QString copyFailed(qsizetype count, const DamagedCopy::Result& copy);

} // namespace DamageNotice
