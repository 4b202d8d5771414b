#pragma once

#include "transfer/kdbx/kdbxbytes.h"

#include <QByteArray>

#include <optional>

// The payload of a KeePass 4 file is cut into blocks that each carry an HMAC-SHA-256 under a key of their own, the
// header's HMAC being keyed as the block of the last index; a KeePass 3 file's blocks carry a SHA-256 of their data
// inside the cipher.
namespace HmacBlockStream {

// The key of the block at the index, from the key all block keys come from.
KdbxBytes::Secret blockKey(const KdbxBytes::Secret& hmacKey, quint64 index);
inline constexpr quint64 headerIndex = ~quint64(0);

QByteArray write(const QByteArray& data, const KdbxBytes::Secret& hmacKey);
// The data of the blocks from the offset on, or nullopt when a block is cut short or its HMAC is wrong.
std::optional<QByteArray> read(const QByteArray& stream, qsizetype from, const KdbxBytes::Secret& hmacKey);

} // namespace HmacBlockStream

namespace HashedBlockStream {

std::optional<QByteArray> read(const QByteArray& stream, qsizetype from);

} // namespace HashedBlockStream
