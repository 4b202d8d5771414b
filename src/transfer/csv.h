#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

class QIODevice;

// Comma-separated values in UTF-8: fields in double quotes with their quotes doubled, so that commas, quotes and
// line breaks may stand inside a field.
namespace Csv {

// Every field quoted and every row ended by a line feed, as KeePassXC writes its own files.
QByteArray write(const QList<QStringList>& rows);

struct Row
{
    QStringList fields;
    // The line of the file on which the row begins, counted from 1.
    int line = 0;
};

// Reads rows from a device a piece at a time, so that only the row being read is held. Rows may end in LF, CR LF
// or CR alone, mixed in one file; a byte order mark at the start is left out, and so are blank lines. A field in
// quotes keeps its line breaks as they are in the file.
class Reader
{
public:
    explicit Reader(QIODevice& device);

    // The next row; nothing at the end of the file or when it cannot be read on, error() then saying why.
    std::optional<Row> next();
    // Empty while the whole file has been read as it is meant.
    const QString& error() const { return m_error; }

private:
    enum class State
    {
        FieldStart,
        Plain,
        Quoted,
        // A quote inside a quoted field: a second one stands for a quote, anything else closes the field.
        QuoteInQuoted,
    };

    // Takes the next piece of the file; false at its end or on an error.
    bool fill();
    // The line ends of the file: a CR LF pair counts once.
    void countLineEnd(QChar c);

    QIODevice& m_device;
    QStringDecoder m_decoder;
    QByteArray m_incomplete;
    QString m_text;
    qsizetype m_at = 0;
    bool m_started = false;
    bool m_afterCr = false;
    int m_line = 1;
    QString m_error;
};

} // namespace Csv
