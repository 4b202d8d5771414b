#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <functional>
#include <optional>

// Both data files share one shape: a double quote, lines separated by CR LF, a double quote and CR LF. Each line is
// one record, reversed, enciphered and written as eight marker bytes per character, most significant bit first:
// 0x7F for a 0 bit and 0x8F for a 1 bit. A record of n characters is 8n bytes whatever its characters are, so
// quotes, separators and line breaks inside a record never disturb the lines.
namespace LineCodec {

constexpr char zeroBit = '\x7F';
constexpr char oneBit = '\x8F';

// The encoded line of a record (an empty record gives an empty line).
QByteArray encode(QByteArrayView record, QByteArrayView key);
// Appends the encoded line to out, without building it apart first.
void appendEncoded(QByteArray& out, QByteArrayView record, QByteArrayView key);

// The record of one physical line (without its CR LF): quotes removed, spaces trimmed, each group of eight marker
// bytes read as one character code (any byte other than 0x8F counts as a 0 bit; a last group of fewer than eight
// bytes is read as a shorter binary number), deciphered and reversed. A line that is empty after trimming gives an
// empty record.
QByteArray decode(QByteArrayView line, QByteArrayView key);
// The same, and whether the line was one the writers make: only marker bytes, eight for each character.
QByteArray decodeLine(QByteArrayView line, QByteArrayView key, bool& intact);

// Decodes a file while it is read, in pieces of any size, so that a large file never has to be held whole. Lines
// end at LF (the CRs before it are dropped); the lines that hold only the opening or closing quote are skipped, and
// empty records are dropped.
class FileDecoder
{
public:
    explicit FileDecoder(QByteArrayView key);

    void feed(QByteArrayView bytes);
    // Decodes a last line that has no line break, and gives every record in file order.
    QList<QByteArray> finish();
    // The lines that no writer makes (see decodeLine): signs of a damaged or converted file. A last line without a
    // line break counts once finish() has read it.
    qsizetype damagedLines() const { return m_damaged; }

private:
    void takeLine(QByteArrayView line);

    QByteArray m_key;
    QByteArray m_partialLine;
    QList<QByteArray> m_records;
    qsizetype m_damaged = 0;
};

// Every record of a file in file order, and how many of its lines were damaged (see decodeLine).
struct DecodedFile
{
    QList<QByteArray> records;
    qsizetype damagedLines = 0;
};

// Gives the file's bytes from the offset on, as many as one read gives (none at the end), read into the buffer or
// standing elsewhere; nothing when the read fails. Called from two threads at once, each with a buffer of its own.
using ReadAt = std::function<std::optional<QByteArrayView>(qint64 offset, QByteArray& buffer)>;

// Reads and decodes a file of about `size` bytes from its start to its end. A large one is read and decoded in two
// halves at once, each on a thread of its own, split at the first line break from its middle on; a file that grows or
// shrinks meanwhile is read to its end. Nothing when a read fails.
std::optional<DecodedFile> decodeReading(qint64 size, const ReadAt& readAt, QByteArrayView key);
// The same of a file held whole.
DecodedFile decodeContents(QByteArrayView contents, QByteArrayView key);
// The records of a whole file, in file order.
QList<QByteArray> decodeFile(QByteArrayView contents, QByteArrayView key);

// The file around a body: quote, body, quote, CR LF.
QByteArray wrapBody(QByteArrayView body);

} // namespace LineCodec
