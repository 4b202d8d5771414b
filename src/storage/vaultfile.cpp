#include "storage/vaultfile.h"

#include "storage/linecodec.h"

namespace {

QByteArray fileOfRecords(const EntryList& entries, qsizetype replacedIndex, const QByteArray& replacement,
                         const QByteArray* addedRecord, const QByteArray& key)
{
    qsizetype characters = addedRecord ? addedRecord->size() : 0;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        characters += entries.at(i).size();
    }
    QByteArray file;
    file.reserve(characters * 8 + (entries.size() + 2) * 2);
    file.append('"');
    for (qsizetype i = 0; i < entries.size(); ++i) {
        LineCodec::appendEncoded(file, i == replacedIndex ? replacement : entries.at(i), key);
        file.append("\r\n");
    }
    if (addedRecord) {
        LineCodec::appendEncoded(file, *addedRecord, key);
    }
    file.append('"').append("\r\n");
    return file;
}

} // namespace

namespace VaultFile {

QByteArray emptyFile()
{
    return LineCodec::wrapBody("\r\n");
}

QByteArray withEntries(const EntryList& entries, const QByteArray& key)
{
    return fileOfRecords(entries, -1, {}, nullptr, key);
}

QByteArray withAddedRecord(const EntryList& entries, const QByteArray& record, const QByteArray& key)
{
    return fileOfRecords(entries, -1, {}, &record, key);
}

QByteArray withReplacedRecord(const EntryList& entries, qsizetype index, const QByteArray& replacement,
                              const QByteArray& key)
{
    return fileOfRecords(entries, index, replacement, nullptr, key);
}

QList<QByteArray> decode(QByteArrayView contents, const QByteArray& key)
{
    return LineCodec::decodeFile(contents, key);
}

} // namespace VaultFile
