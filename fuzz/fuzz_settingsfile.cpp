// Reads arbitrary bytes as cnfg.tab and checks that the settings read survive being written and read again.
#include "storage/settingsfile.h"

#include <cstdint>
#include <cstdlib>

// The tests build this file again under another name to replay the seed corpus and every input that once failed.
#ifndef FUZZ_ENTRY
#define FUZZ_ENTRY LLVMFuzzerTestOneInput
#endif

extern "C" int FUZZ_ENTRY(const uint8_t* data, size_t size)
{
    const Settings read = SettingsFile::decode(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    const Settings again = SettingsFile::decode(SettingsFile::encode(read));
    if (again.installationKey != read.installationKey || again.masterPassword != read.masterPassword ||
        again.askAtStart != read.askAtStart) {
        std::abort();
    }
    return 0;
}
