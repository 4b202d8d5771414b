#include "storage/linecodec.h"

#include "storage/cipher.h"
#include "storage/twothreads.h"

#include <QtEndian>

#include <array>
#include <cstring>
#include <utility>

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

constexpr quint64 everyByte(unsigned char byte)
{
    return 0x0101010101010101ULL * byte;
}

// Gathers the high bit of each byte, first byte first, into one character code.
unsigned codeOfHighBits(quint64 highBits)
{
    return unsigned(((highBits >> 7) * 0x8040201008040201ULL) >> 56);
}

// The character code of eight marker bytes, most significant bit first, where any byte other than 0x8F is a 0 bit.
// The eight comparisons are done at once on a 64-bit word: every byte equal to 0x8F becomes 0x80, every other byte 0.
unsigned codeOfGroup(const char* group)
{
    constexpr quint64 lowSeven = everyByte(0x7F);
    const quint64 word = qFromLittleEndian<quint64>(group) ^ everyByte(LineCodec::oneBit);
    return codeOfHighBits(~(((word & lowSeven) + lowSeven) | word | lowSeven));
}

// The same for a group that holds only marker bytes, with any other byte shown in the second member. Against 0x7F
// a 0x7F byte becomes 0x00 and a 0x8F byte 0xF0: the high bits are the code, and a byte that is neither differs from
// the 0x00 or 0xF0 its high bit calls for.
struct MarkerGroup
{
    unsigned code;
    quint64 foreignBits;
};

MarkerGroup readMarkerGroup(const char* group)
{
    const quint64 flipped = qFromLittleEndian<quint64>(group) ^ everyByte(LineCodec::zeroBit);
    const quint64 high = flipped & everyByte(0x80);
    // 0xF0 in every byte whose high bit is set: 0x100 - 0x10 there, the carries cancelling out.
    const quint64 expected = (high << 1) - (high >> 3);
    return {codeOfHighBits(high), flipped ^ expected};
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

// Applies the cipher of one direction position by position; an empty key leaves the codes as they are.
template <unsigned (*Step)(unsigned, unsigned)>
class Keyed
{
public:
    explicit Keyed(QByteArrayView key) : m_keyStream(key), m_hasKey(!key.isEmpty()) {}

    char operator()(unsigned code) { return static_cast<char>(m_hasKey ? Step(code, m_keyStream.next()) : code); }

private:
    KeyStream m_keyStream;
    bool m_hasKey;
};

// Reads, deciphers and reverses in one pass: the groups of eight markers fill the record from its end.
template <typename CodeOfGroup>
void fillRecord(QByteArray& record, QByteArrayView markers, QByteArrayView key, CodeOfGroup codeOf)
{
    const qsizetype whole = markers.size() / 8;
    char* target = record.data() + record.size();
    Keyed<decipheredCode> decipher(key);
    for (qsizetype i = 0; i < whole; ++i) {
        *--target = decipher(codeOf(markers.data() + i * 8));
    }
    if (whole < record.size()) {
        *--target = decipher(codeOfShortGroup(markers.sliced(whole * 8)));
    }
}

} // namespace

namespace LineCodec {

void appendEncoded(QByteArray& out, QByteArrayView record, QByteArrayView key)
{
    // Reversing and enciphering in one pass: the character at position i of the enciphered text is the one at
    // position length - 1 - i of the record.
    const qsizetype start = out.size();
    out.resize(start + record.size() * 8);
    char* target = out.data() + start;
    Keyed<encipheredCode> encipher(key);
    for (qsizetype i = record.size() - 1; i >= 0; --i) {
        const char code = encipher(static_cast<unsigned char>(record[i]));
        std::memcpy(target, markerTable[static_cast<unsigned char>(code)].data(), 8);
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
    bool intact = true;
    return decodeLine(line, key, intact);
}

QByteArray decodeLine(QByteArrayView line, QByteArrayView key, bool& intact)
{
    QByteArray scratch;
    const QByteArrayView markers = trimSpaces(withoutQuotes(line, scratch));
    intact = true;
    if (markers.isEmpty()) {
        return {};
    }
    QByteArray record((markers.size() + 7) / 8, Qt::Uninitialized);
    quint64 foreignBits = 0;
    fillRecord(record, markers, key, [&foreignBits](const char* group) {
        const MarkerGroup read = readMarkerGroup(group);
        foreignBits |= read.foreignBits;
        return read.code;
    });
    intact = markers.size() % 8 == 0 && foreignBits == 0;
    if (foreignBits != 0) {
        // A damaged line, read again the way it always was, every byte other than 0x8F a 0 bit.
        fillRecord(record, markers, key, codeOfGroup);
    }
    return record;
}

FileDecoder::FileDecoder(QByteArrayView key) : m_key(key.toByteArray()) {}

void FileDecoder::feed(QByteArrayView bytes)
{
    const qsizetype firstEnd = bytes.indexOf('\n');
    if (firstEnd < 0) {
        m_partialLine.append(bytes);
        return;
    }
    if (m_partialLine.isEmpty()) {
        takeLine(bytes.first(firstEnd));
    } else {
        m_partialLine.append(bytes.first(firstEnd));
        takeLine(m_partialLine);
        m_partialLine.resize(0);
    }
    bytes = bytes.sliced(firstEnd + 1);
    for (qsizetype end = bytes.indexOf('\n'); end >= 0; end = bytes.indexOf('\n')) {
        takeLine(bytes.first(end));
        bytes = bytes.sliced(end + 1);
    }
    m_partialLine.append(bytes);
}

QList<QByteArray> FileDecoder::finish()
{
    if (!m_partialLine.isEmpty()) {
        takeLine(m_partialLine);
        m_partialLine.resize(0);
    }
    return std::exchange(m_records, {});
}

void FileDecoder::takeLine(QByteArrayView line)
{
    // A file whose line breaks were converted twice ends its lines in CR CR LF: no CR belongs to a record.
    while (line.endsWith('\r')) {
        line.chop(1);
    }
    if (line == "\"") {
        return;
    }
    bool intact = true;
    QByteArray record = decodeLine(line, m_key, intact);
    m_damaged += intact ? 0 : 1;
    if (!record.isEmpty()) {
        m_records.append(std::move(record));
    }
}

namespace {

// Feeds the decoder what readAt gives from `from` on. With skipFirstPart, what comes before the first line break is
// left out: the end of a line that starts before `from`. With a `stop`, the bytes end with the first line break at or
// after it. False when a read fails.
bool feedFrom(const ReadAt& readAt, qint64 from, bool skipFirstPart, std::optional<qint64> stop, FileDecoder& decoder)
{
    QByteArray buffer;
    bool skipping = skipFirstPart;
    for (qint64 offset = from;;) {
        const std::optional<QByteArrayView> read = readAt(offset, buffer);
        if (!read) {
            return false;
        }
        if (read->isEmpty()) {
            return true;
        }
        QByteArrayView bytes = *read;
        offset += bytes.size();
        if (skipping) {
            const qsizetype lineBreak = bytes.indexOf('\n');
            if (lineBreak < 0) {
                continue;
            }
            bytes = bytes.sliced(lineBreak + 1);
            skipping = false;
        }
        if (stop && offset > *stop) {
            // The bytes stand at offset - bytes.size() in the file.
            const qsizetype lineBreak = bytes.indexOf('\n', qMax<qint64>(0, *stop - (offset - bytes.size())));
            if (lineBreak >= 0) {
                decoder.feed(bytes.first(lineBreak + 1));
                return true;
            }
        }
        decoder.feed(bytes);
    }
}

} // namespace

std::optional<DecodedFile> decodeReading(qint64 size, const ReadAt& readAt, QByteArrayView key)
{
    // Lines are deciphered each on its own, so a large file is read in two halves on two threads.
    constexpr qint64 halvedFrom = 256 * 1024;
    if (size < halvedFrom) {
        FileDecoder decoder(key);
        if (!feedFrom(readAt, 0, false, std::nullopt, decoder)) {
            return std::nullopt;
        }
        QList<QByteArray> records = decoder.finish();
        return DecodedFile{std::move(records), decoder.damagedLines()};
    }
    // Both halves look for the same line break: the first from the byte before the middle on.
    const qint64 split = size / 2 - 1;
    FileDecoder first(key), second(key);
    bool read[] = {false, false};
    onTwoThreads(2, [&](size_t half) {
        read[half] = half == 0 ? feedFrom(readAt, 0, false, split, first) : feedFrom(readAt, split, true, {}, second);
    });
    if (!read[0] || !read[1]) {
        return std::nullopt;
    }
    DecodedFile file{first.finish(), 0};
    file.records.append(second.finish());
    file.damagedLines = first.damagedLines() + second.damagedLines();
    return file;
}

DecodedFile decodeContents(QByteArrayView contents, QByteArrayView key)
{
    const auto readAt = [contents](qint64 offset, QByteArray&) -> std::optional<QByteArrayView> {
        return contents.sliced(qMin(offset, qint64(contents.size())));
    };
    return *decodeReading(contents.size(), readAt, key);
}

QList<QByteArray> decodeFile(QByteArrayView contents, QByteArrayView key)
{
    return decodeContents(contents, key).records;
}

QByteArray wrapBody(QByteArrayView body)
{
    QByteArray file;
    file.reserve(body.size() + 4);
    file.append('"').append(body).append('"').append("\r\n");
    return file;
}

} // namespace LineCodec
