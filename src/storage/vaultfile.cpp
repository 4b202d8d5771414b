#include "storage/vaultfile.h"

#include "storage/linecodec.h"

namespace {

constexpr qsizetype pieceSize = 1 << 20;

bool writeRecords(const VaultFile::Sink& sink, const EntryList& entries, qsizetype replacedIndex,
                  const QByteArray& replacement, const QList<QByteArray>& added, const QByteArray& key)
{
    // One buffer, handed on whenever it holds a piece, so that a large vault is never held whole encoded.
    QByteArray piece;
    piece.reserve(pieceSize + pieceSize / 8);
    const auto handOnFull = [&]() {
        if (piece.size() < pieceSize) {
            return true;
        }
        const bool taken = sink(piece);
        piece.resize(0);
        return taken;
    };
    piece.append('"');
    for (qsizetype i = 0; i < entries.size(); ++i) {
        LineCodec::appendEncoded(piece, i == replacedIndex ? replacement : entries.at(i), key);
        piece.append("\r\n");
        if (!handOnFull()) {
            return false;
        }
    }
    for (qsizetype i = 0; i < added.size(); ++i) {
        LineCodec::appendEncoded(piece, added.at(i), key);
        if (i + 1 < added.size()) {
            piece.append("\r\n");
        }
        if (!handOnFull()) {
            return false;
        }
    }
    piece.append('"').append("\r\n");
    return sink(piece);
}

QByteArray wholeFile(const std::function<bool(const VaultFile::Sink&)>& write)
{
    QByteArray file;
    write([&file](QByteArrayView piece) {
        file.append(piece);
        return true;
    });
    return file;
}

} // namespace

namespace VaultFile {

QByteArray emptyFile()
{
    return LineCodec::wrapBody("\r\n");
}

bool writeEntries(const Sink& sink, const EntryList& entries, const QByteArray& key)
{
    return writeRecords(sink, entries, -1, {}, {}, key);
}

bool writeWithAddedRecord(const Sink& sink, const EntryList& entries, const QByteArray& record, const QByteArray& key)
{
    return writeWithAddedRecords(sink, entries, {record}, key);
}

bool writeWithAddedRecords(const Sink& sink, const EntryList& entries, const QList<QByteArray>& records,
                           const QByteArray& key)
{
    return writeRecords(sink, entries, -1, {}, records, key);
}

bool writeWithReplacedRecord(const Sink& sink, const EntryList& entries, qsizetype index, const QByteArray& replacement,
                             const QByteArray& key)
{
    return writeRecords(sink, entries, index, replacement, {}, key);
}

bool writeWithDeletedRecord(const Sink& sink, const EntryList& entries, qsizetype index, const QByteArray& key)
{
    return writeRecords(sink, entries, index, {}, {}, key);
}

QByteArray withAddedRecord(const EntryList& entries, const QByteArray& record, const QByteArray& key)
{
    return wholeFile([&](const Sink& sink) { return writeWithAddedRecord(sink, entries, record, key); });
}

QList<QByteArray> decode(QByteArrayView contents, const QByteArray& key)
{
    return LineCodec::decodeFile(contents, key);
}

} // namespace VaultFile
