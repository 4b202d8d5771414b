#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

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
    qsizetype damagedLines() const { return m_lines.damaged; }

private:
    struct Lines
    {
        QList<QByteArray> records;
        qsizetype damaged = 0;
    };
    void takeWholeLines(QByteArrayView lines);
    static void takeLines(QByteArrayView lines, QByteArrayView key, Lines& into);
    static void takeLine(QByteArrayView line, QByteArrayView key, Lines& into);

    QByteArray m_key;
    QByteArray m_partialLine;
    Lines m_lines;
};

// The records of a whole file, in file order.
QList<QByteArray> decodeFile(QByteArrayView contents, QByteArrayView key);

// The file around a body: quote, body, quote, CR LF.
QByteArray wrapBody(QByteArrayView body);

} // namespace LineCodec
