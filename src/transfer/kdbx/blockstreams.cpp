#include "transfer/kdbx/blockstreams.h"

#include "transfer/kdbx/kdbxcrypto.h"

#include <algorithm>

namespace {

constexpr qsizetype blockSize = 1024 * 1024;
constexpr qsizetype hashLength = 32;

// The size field of the block at the offset, or -1 when it does not fit in the rest of the stream.
qint32 sizeAt(const QByteArray& stream, qsizetype at)
{
    if (stream.size() - at < 4) {
        return -1;
    }
    const qint32 size = KdbxBytes::readLittleEndian<qint32>(stream.constData() + at);
    return size >= 0 && stream.size() - at - 4 >= size ? size : -1;
}

} // namespace

namespace HmacBlockStream {

KdbxBytes::Secret blockKey(const KdbxBytes::Secret& hmacKey, quint64 index)
{
    return KdbxCrypto::sha512({KdbxBytes::littleEndian(index), hmacKey});
}

QByteArray write(const QByteArray& data, const KdbxBytes::Secret& hmacKey)
{
    QByteArray stream;
    stream.reserve(data.size() + (data.size() / blockSize + 2) * (hashLength + 4));
    quint64 index = 0;
    for (qsizetype at = 0;; at += blockSize, ++index) {
        const QByteArray block = data.mid(at, blockSize);
        const QByteArray size = KdbxBytes::littleEndian(qint32(block.size()));
        stream += KdbxCrypto::hmacSha256(blockKey(hmacKey, index), {KdbxBytes::littleEndian(index), size, block});
        stream += size + block;
        if (block.isEmpty()) {
            return stream;
        }
    }
}

std::optional<QByteArray> read(const QByteArray& stream, qsizetype from, const KdbxBytes::Secret& hmacKey)
{
    QByteArray data;
    qsizetype at = from;
    for (quint64 index = 0;; ++index) {
        const qint32 size = sizeAt(stream, at + hashLength);
        if (size < 0) {
            return std::nullopt;
        }
        const QByteArray block = stream.mid(at + hashLength + 4, size);
        const QByteArray mac = KdbxCrypto::hmacSha256(
            blockKey(hmacKey, index), {KdbxBytes::littleEndian(index), KdbxBytes::littleEndian(size), block});
        if (mac != stream.mid(at, hashLength)) {
            return std::nullopt;
        }
        if (size == 0) {
            return data;
        }
        data += block;
        at += hashLength + 4 + size;
    }
}

} // namespace HmacBlockStream

namespace HashedBlockStream {

std::optional<QByteArray> read(const QByteArray& stream, qsizetype from)
{
    QByteArray data;
    qsizetype at = from;
    for (quint32 index = 0;; ++index) {
        if (stream.size() - at < 4 || KdbxBytes::readLittleEndian<quint32>(stream.constData() + at) != index) {
            return std::nullopt;
        }
        const qint32 size = sizeAt(stream, at + 4 + hashLength);
        if (size < 0) {
            return std::nullopt;
        }
        const QByteArray hash = stream.mid(at + 4, hashLength);
        const QByteArray block = stream.mid(at + 8 + hashLength, size);
        if (size == 0) {
            return std::all_of(hash.begin(), hash.end(), [](char c) { return c == '\0'; }) ? std::optional(data)
                                                                                           : std::nullopt;
        }
        if (KdbxBytes::bytes(KdbxCrypto::sha256({block})) != hash) {
            return std::nullopt;
        }
        data += block;
        at += 8 + hashLength + size;
    }
}

} // namespace HashedBlockStream
