// Reads arbitrary bytes as a CSV import and checks that every record accepted survives what is done with it next:
// written to pswd.tab and read back it is the same record, and exported and imported again it is the same entry,
// which a third import then finds already stored.
#include "storage/entrylist.h"
#include "storage/vaultfile.h"
#include "transfer/entrycsv.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

// The tests build this file again under another name to replay the seed corpus and every input that once failed.
#ifndef FUZZ_ENTRY
#define FUZZ_ENTRY LLVMFuzzerTestOneInput
#endif

namespace {

const QDateTime now(QDate(2026, 12, 6), QTime(9, 30));

EntryCsv::Import imported(QByteArray bytes, const EntryList& stored)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return EntryCsv::read(buffer, stored, now);
}

QList<QByteArray> sorted(const QList<QByteArray>& records)
{
    const EntryList entries(records);
    QList<QByteArray> list;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        list.append(entries.at(i));
    }
    return list;
}

} // namespace

extern "C" int FUZZ_ENTRY(const uint8_t* data, size_t size)
{
    const QList<QByteArray> records =
        imported(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), EntryList()).records;
    const QByteArray key = "547258";
    QByteArray file;
    VaultFile::writeWithAddedRecords(
        [&file](QByteArrayView piece) {
            file.append(piece);
            return true;
        },
        EntryList(), records, key);
    if (!records.isEmpty() && VaultFile::decode(file, key) != records) {
        std::abort();
    }
    const EntryList entries(records);
    const EntryCsv::Import again = imported(EntryCsv::write(entries, now.date()), EntryList());
    if (!again.error.isEmpty() || again.refusedRows != 0 || sorted(again.records) != sorted(records)) {
        std::abort();
    }
    const EntryCsv::Import third = imported(EntryCsv::write(entries, now.date()), entries);
    if (!third.records.isEmpty() || third.repeatedRows != records.size()) {
        std::abort();
    }
    return 0;
}
