#pragma once

#include <QByteArray>

#include <optional>

// The gzip compression of KeePass payloads, by zlib.
namespace Gzip {

QByteArray compress(const QByteArray& data);
// nullopt when the data is not whole gzip data, or would grow beyond the limit.
std::optional<QByteArray> decompress(const QByteArray& data, qsizetype limit);

} // namespace Gzip
