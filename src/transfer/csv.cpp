#include "transfer/csv.h"

#include <QIODevice>

namespace {

constexpr qint64 pieceSize = 64 * 1024;

QString quoted(QString field)
{
    return QLatin1Char('"') + field.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// The length of the bytes that end with a whole UTF-8 character, so that a character cut by the end of a piece is
// decoded with the next piece.
qsizetype wholeCharacters(const QByteArray& bytes)
{
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = uchar(bytes.at(size - back));
        if ((byte & 0xC0) == 0x80) {
            continue;
        }
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

} // namespace

namespace Csv {

QByteArray write(const QList<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& field : row) {
            fields.append(quoted(field));
        }
        text += fields.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

Reader::Reader(QIODevice& device)
    : m_device(device),
      m_decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom)
{}

std::optional<Row> Reader::next()
{
    Row row{{}, m_line};
    QString field;
    State state = State::FieldStart;
    for (;;) {
        if (m_at == m_text.size() && !fill()) {
            if (!m_error.isEmpty()) {
                return std::nullopt;
            }
            if (state == State::Quoted) {
                m_error = QStringLiteral("as aspas abertas na linha %1 não se fecham").arg(row.line);
                return std::nullopt;
            }
            if (state == State::FieldStart && row.fields.isEmpty()) {
                return std::nullopt;
            }
            row.fields.append(field);
            return row;
        }
        const QChar c = m_text.at(m_at++);
        const bool endOfCrLf = m_afterCr && c == QLatin1Char('\n');
        countLineEnd(c);
        if (state == State::Quoted) {
            if (c == QLatin1Char('"')) {
                state = State::QuoteInQuoted;
            } else {
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && state != State::Plain) {
            if (state == State::QuoteInQuoted) {
                field += c;
            }
            state = State::Quoted;
            continue;
        }
        if (endOfCrLf) {
            continue;
        }
        if (c == QLatin1Char(',')) {
            row.fields.append(field);
            field.clear();
            state = State::FieldStart;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (state == State::FieldStart && row.fields.isEmpty()) {
                row.line = m_line;
                continue;
            }
            row.fields.append(field);
            return row;
        } else if (state == State::QuoteInQuoted) {
            m_error = QStringLiteral("a linha %1 tem texto depois das aspas que fecham um campo").arg(m_line);
            return std::nullopt;
        } else {
            field += c;
            state = State::Plain;
        }
    }
}

bool Reader::fill()
{
    m_text.clear();
    m_at = 0;
    while (m_text.isEmpty()) {
        QByteArray bytes(pieceSize, Qt::Uninitialized);
        const qint64 read = m_device.read(bytes.data(), pieceSize);
        if (read < 0) {
            m_error = QStringLiteral("não foi possível lê-lo: %1").arg(m_device.errorString());
            return false;
        }
        if (read == 0) {
            if (!m_incomplete.isEmpty()) {
                m_error = QStringLiteral("o arquivo não está em UTF-8");
            }
            return false;
        }
        bytes.truncate(read);
        bytes.prepend(m_incomplete);
        const qsizetype whole = wholeCharacters(bytes);
        m_incomplete = bytes.mid(whole);
        m_text = m_decoder.decode(QByteArrayView(bytes).first(whole));
        if (m_decoder.hasError()) {
            m_error = QStringLiteral("o arquivo não está em UTF-8");
            return false;
        }
    }
    if (!m_started) {
        m_started = true;
        m_at = m_text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    }
    return m_at < m_text.size() || fill();
}

void Reader::countLineEnd(QChar c)
{
    if (c == QLatin1Char('\r') || (c == QLatin1Char('\n') && !m_afterCr)) {
        ++m_line;
    }
    m_afterCr = c == QLatin1Char('\r');
}

} // namespace Csv
