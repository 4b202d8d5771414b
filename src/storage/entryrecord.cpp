#include "storage/entryrecord.h"

#include "storage/cipher.h"

namespace EntryRecord {

QByteArray join(const QList<QByteArray>& fields)
{
    QByteArray record = fields.join(separator);
    return ReplaceText(record, "\r\n", QByteArrayView(&lineBreakMark, 1));
}

QByteArrayView fieldView(QByteArrayView record, int position)
{
    qsizetype start = 0;
    for (int i = 0; i < position; ++i) {
        start = record.indexOf(separator, start);
        if (start < 0) {
            return {};
        }
        ++start;
    }
    const qsizetype end = record.indexOf(separator, start);
    return record.sliced(start, (end < 0 ? record.size() : end) - start);
}

QByteArray field(const QByteArray& record, int position)
{
    return fieldView(record, position).toByteArray();
}

QByteArray updateStamp(const QDateTime& when)
{
    return when.toString(QStringLiteral("yy.MM.dd.HH.mm.ss")).toLatin1();
}

QByteArray stampDate(const QByteArray& stamp)
{
    const QList<QByteArray> pieces = stamp.split('.');
    const auto piece = [&pieces](int i) { return i < pieces.size() ? pieces[i] : QByteArray(); };
    return piece(2) + '/' + piece(1) + '/' + piece(0);
}

QByteArray descriptionLines(const QByteArray& description)
{
    return ReplaceText(description, QByteArrayView(&lineBreakMark, 1), "\r\n");
}

} // namespace EntryRecord
