// Reads arbitrary bytes as pswd.tab, sorts what it finds, and checks that writing the records back and
// reading them again gives the same records, from a file with no damaged line.
#include "storage/entrylist.h"
#include "storage/linecodec.h"
#include "storage/vaultfile.h"

#include <cstdint>
#include <cstdlib>

// The tests build this file again under another name to replay the seed corpus and every input that once failed.
#ifndef FUZZ_ENTRY
#define FUZZ_ENTRY LLVMFuzzerTestOneInput
#endif

extern "C" int FUZZ_ENTRY(const uint8_t* data, size_t size)
{
    const QByteArray key = "547258";
    const QByteArrayView contents(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> records = VaultFile::decode(contents, key);
    const EntryList entries(records);
    const QByteArray added = records.isEmpty() ? QByteArray("x") : records.front();
    QList<QByteArray> expected;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        expected.append(entries.at(i));
    }
    expected.append(added);
    LineCodec::FileDecoder rewritten(key);
    rewritten.feed(VaultFile::withAddedRecord(entries, added, key));
    if (rewritten.damagedLines() != 0 || rewritten.finish() != expected) {
        std::abort();
    }
    return 0;
}
