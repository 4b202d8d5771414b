#include "transfer/csv.h"

#include <QStringDecoder>

namespace {

QString quoted(QString field)
{
    return QLatin1Char('"') + field.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
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

Table read(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    Table table;
    if (decoder.hasError()) {
        table.error = QStringLiteral("o arquivo não está em UTF-8");
        return table;
    }
    QStringList row;
    QString field;
    bool inQuotes = false;
    bool fieldWasQuoted = false;
    int line = 1;
    int rowLine = 1;
    const auto endRow = [&] {
        row.append(field);
        if (row.size() > 1 || !row.first().isEmpty() || fieldWasQuoted) {
            table.rows.append(row);
            table.lines.append(rowLine);
        }
        row.clear();
        field.clear();
        fieldWasQuoted = false;
        rowLine = line;
    };
    const qsizetype start = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    for (qsizetype i = start; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                line += c == QLatin1Char('\n') ? 1 : 0;
                field += c;
            }
        } else if (c == QLatin1Char('"') && field.isEmpty() && !fieldWasQuoted) {
            inQuotes = true;
            fieldWasQuoted = true;
        } else if (c == QLatin1Char(',')) {
            row.append(field);
            field.clear();
            fieldWasQuoted = false;
        } else if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && text.mid(i + 1, 1) == QLatin1String("\n"))) {
            i += c == QLatin1Char('\r') ? 1 : 0;
            ++line;
            endRow();
        } else {
            field += c;
        }
    }
    if (inQuotes) {
        table.error = QStringLiteral("as aspas abertas na linha %1 não se fecham").arg(rowLine);
        return table;
    }
    if (!field.isEmpty() || !row.isEmpty() || fieldWasQuoted) {
        endRow();
    }
    return table;
}

} // namespace Csv
