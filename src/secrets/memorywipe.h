#pragma once

#include <QByteArray>

// Secrets held in memory, such as a typed password, overwritten before they are freed: the program's and the KeePass
// module's one way of doing it.
namespace MemoryWipe {

// Overwrites the bytes and empties the array. An array that shares its bytes with another copy is only emptied: the
// other copy still needs them.
void wipe(QByteArray& bytes);

} // namespace MemoryWipe
