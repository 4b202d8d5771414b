#include "transfer/kdbx/gzip.h"

#include <zlib.h>

#include <algorithm>

namespace {

// zlib's window size, with 16 added: gzip framing.
constexpr int gzipWindowBits = 15 + 16;
constexpr qsizetype chunk = 256 * 1024;

} // namespace

namespace Gzip {

QByteArray compress(const QByteArray& data)
{
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, gzipWindowBits, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

std::optional<QByteArray> decompress(const QByteArray& data, qsizetype limit)
{
    z_stream stream{};
    if (inflateInit2(&stream, gzipWindowBits) != Z_OK) {
        return std::nullopt;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    QByteArray out;
    int result = Z_OK;
    while (result == Z_OK && out.size() <= limit) {
        const qsizetype done = out.size();
        out.resize(done + std::max(chunk, done));
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + done);
        stream.avail_out = uInt(out.size() - done);
        result = inflate(&stream, Z_NO_FLUSH);
        out.truncate(qsizetype(stream.total_out));
    }
    inflateEnd(&stream);
    if (result != Z_STREAM_END || out.size() > limit) {
        return std::nullopt;
    }
    return out;
}

} // namespace Gzip
