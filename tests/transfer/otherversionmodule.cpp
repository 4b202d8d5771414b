#include "transfer/kdbx/kdbxformat.h"

// A KeePass module of the next interface version, as a newer KeyHound would install it: only its entry point, which
// a program of this version must not go past.

namespace {

const KdbxModuleEntry entry{KdbxFormat::interfaceVersion + 1, nullptr};

} // namespace

extern "C" Q_DECL_EXPORT const KdbxModuleEntry* keyhound_kdbx_module()
{
    return &entry;
}
