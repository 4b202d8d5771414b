#include "storage/linecodec.h"

#include "storage/cipher.h"

#include <QtEndian>

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

// The character code of eight marker bytes, most significant bit first; only 0x8F is a set bit. The eight
// comparisons are done at once on a 64-bit word: every byte equal to 0x8F becomes 0x80, every other byte 0, and one
// multiplication gathers the eight high bits, first byte first, into the top byte.
unsigned codeOfGroup(const char* group)
{
    constexpr quint64 lowSeven = 0x7F7F7F7F7F7F7F7FULL;
    const quint64 word = qFromLittleEndian<quint64>(group) ^ 0x8F8F8F8F8F8F8F8FULL;
    const quint64 equal = ~(((word & lowSeven) + lowSeven) | word | lowSeven);
    return unsigned(((equal >> 7) * 0x8040201008040201ULL) >> 56);
}

// A last group of fewer than eight marker bytes is read as a shorter binary number.
unsigned codeOfShortGroup(QByteArrayView group)
{
    unsigned code = 0;
    for (const char marker : group) {
        code = (code << 1) | (marker == LineCodec::oneBit ? 1u : 0u);
    }
    return code;
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
    // Reading the codes, deciphering and reversing in one pass: the code at position i of the enciphered text is
    // the character at position length - 1 - i of the record.
    const qsizetype whole = markers.size() / 8;
    const qsizetype length = (markers.size() + 7) / 8;
    QByteArray codes(length, Qt::Uninitialized);
    char* out = codes.data();
    for (qsizetype i = 0; i < whole; ++i) {
        out[i] = static_cast<char>(codeOfGroup(markers.data() + i * 8));
    }
    if (whole < length) {
        out[whole] = static_cast<char>(codeOfShortGroup(markers.sliced(whole * 8)));
    }
    QByteArray record = UnEncryptStr(codes, key);
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
