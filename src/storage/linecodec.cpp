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
        takeLine(bytes.first(firstEnd), m_key, m_lines);
    } else {
        m_partialLine.append(bytes.first(firstEnd));
        takeLine(m_partialLine, m_key, m_lines);
        m_partialLine.resize(0);
    }
    bytes = bytes.sliced(firstEnd + 1);
    const qsizetype lastEnd = bytes.lastIndexOf('\n');
    takeWholeLines(bytes.first(lastEnd + 1));
    m_partialLine.append(bytes.sliced(lastEnd + 1));
}

QList<QByteArray> FileDecoder::finish()
{
    if (!m_partialLine.isEmpty()) {
        takeLine(m_partialLine, m_key, m_lines);
        m_partialLine.resize(0);
    }
    return std::exchange(m_lines.records, {});
}

void FileDecoder::takeWholeLines(QByteArrayView lines)
{
    // Lines are deciphered each on its own, so a large piece is read in two halves on two threads, and the halves
    // joined in file order.
    constexpr qsizetype halvedFrom = 256 * 1024;
    if (lines.size() < halvedFrom) {
        takeLines(lines, m_key, m_lines);
        return;
    }
    const qsizetype middle = lines.indexOf('\n', lines.size() / 2) + 1;
    const QByteArrayView halves[] = {lines.first(middle), lines.sliced(middle)};
    Lines second;
    onTwoThreads(2, [&](size_t half) { takeLines(halves[half], m_key, half == 0 ? m_lines : second); });
    m_lines.records.append(std::move(second.records));
    m_lines.damaged += second.damaged;
}

void FileDecoder::takeLines(QByteArrayView lines, QByteArrayView key, Lines& into)
{
    for (qsizetype end = lines.indexOf('\n'); end >= 0; end = lines.indexOf('\n')) {
        takeLine(lines.first(end), key, into);
        lines = lines.sliced(end + 1);
    }
}

void FileDecoder::takeLine(QByteArrayView line, QByteArrayView key, Lines& into)
{
    // A file whose line breaks were converted twice ends its lines in CR CR LF: no CR belongs to a record.
    while (line.endsWith('\r')) {
        line.chop(1);
    }
    if (line == "\"") {
        return;
    }
    bool intact = true;
    QByteArray record = decodeLine(line, key, intact);
    into.damaged += intact ? 0 : 1;
    if (!record.isEmpty()) {
        into.records.append(std::move(record));
    }
}

QList<QByteArray> decodeFile(QByteArrayView contents, QByteArrayView key)
{
    FileDecoder decoder(key);
    decoder.feed(contents);
    return decoder.finish();
}

QByteArray wrapBody(QByteArrayView body)
{
    QByteArray file;
    file.reserve(body.size() + 4);
    file.append('"').append(body).append('"').append("\r\n");
    return file;
}

} // namespace LineCodec
