#include "storage/linecodec.h"

#include "storage/cipher.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// The eight marker bytes of every character code, most significant bit first.
using Markers = std::array<char, 8>;

constexpr std::array<Markers, 256> makeMarkerTable()
{
    std::array<Markers, 256> table{};
    for (int code = 0; code < 256; ++code) {
        for (int bit = 0; bit < 8; ++bit) {
            table[code][bit] = (code & (0x80 >> bit)) ? LineCodec::oneBit : LineCodec::zeroBit;
        }
    }
    return table;
}

constexpr std::array<Markers, 256> markerTable = makeMarkerTable();

// The line without its double quotes, copied only when it has any (the first and last lines of a file).
QByteArrayView withoutQuotes(QByteArrayView line, QByteArray& scratch)
{
    if (!line.contains('"')) {
        return line;
    }
    scratch = line.toByteArray();
    scratch.removeIf([](char c) { return c == '"'; });
    return scratch;
}

QByteArray codesOfMarkers(QByteArrayView markers)
{
    QByteArray codes((markers.size() + 7) / 8, Qt::Uninitialized);
    const auto* in = reinterpret_cast<const unsigned char*>(markers.data());
    const qsizetype whole = markers.size() / 8;
    for (qsizetype c = 0; c < whole; ++c, in += 8) {
        unsigned code = 0;
        for (int bit = 0; bit < 8; ++bit) {
            code = (code << 1) | (in[bit] == 0x8F ? 1u : 0u);
        }
        codes[c] = static_cast<char>(code);
    }
    if (whole < codes.size()) {
        codes[whole] = static_cast<char>(binaryTextToNumber(ReplaceText(markers.sliced(whole * 8), "\x8F", "1")));
    }
    return codes;
}

} // namespace

namespace LineCodec {

void appendEncoded(QByteArray& out, QByteArrayView record, QByteArrayView key)
{
    QByteArray reversed = record.toByteArray();
    std::reverse(reversed.begin(), reversed.end());
    const QByteArray enciphered = EncryptStr(reversed, key);
    const qsizetype start = out.size();
    out.resize(start + enciphered.size() * 8);
    char* target = out.data() + start;
    for (const char character : enciphered) {
        std::memcpy(target, markerTable[static_cast<unsigned char>(character)].data(), 8);
        target += 8;
    }
}

QByteArray encode(QByteArrayView record, QByteArrayView key)
{
    QByteArray line;
    appendEncoded(line, record, key);
    return line;
}

QByteArray decode(QByteArrayView line, QByteArrayView key)
{
    QByteArray scratch;
    const QByteArrayView markers = trimSpaces(withoutQuotes(line, scratch));
    if (markers.isEmpty()) {
        return {};
    }
    QByteArray record = UnEncryptStr(codesOfMarkers(markers), key);
    std::reverse(record.begin(), record.end());
    return record;
}

QList<QByteArrayView> recordLines(QByteArrayView contents)
{
    QList<QByteArrayView> lines;
    lines.reserve(contents.count('\n') + 1);
    qsizetype start = 0;
    while (start < contents.size()) {
        qsizetype end = contents.indexOf('\n', start);
        if (end < 0) {
            end = contents.size();
        }
        QByteArrayView line = contents.sliced(start, end - start);
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        start = end + 1;
        if (line != "\"") {
            lines.append(line);
        }
    }
    return lines;
}

QList<QByteArray> decodeFile(QByteArrayView contents, QByteArrayView key)
{
    const QList<QByteArrayView> lines = recordLines(contents);
    QList<QByteArray> records;
    records.reserve(lines.size());
    for (const QByteArrayView line : lines) {
        QByteArray record = decode(line, key);
        if (!record.isEmpty()) {
            records.append(std::move(record));
        }
    }
    return records;
}

QByteArray wrapBody(QByteArrayView body)
{
    QByteArray file;
    file.reserve(body.size() + 4);
    file.append('"').append(body).append('"').append("\r\n");
    return file;
}

} // namespace LineCodec
