#include "secrets/memorywipe.h"

#include <string.h>

namespace MemoryWipe {

void wipe(QByteArray& bytes)
{
    if (!bytes.isEmpty() && bytes.isDetached()) {
        // Unlike memset, never left out by the compiler for a buffer that is not read again.
        explicit_bzero(bytes.data(), size_t(bytes.size()));
    }
    bytes.clear();
}

} // namespace MemoryWipe
