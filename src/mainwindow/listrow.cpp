#include "mainwindow/listrow.h"

#include "storage/entryrecord.h"
#include "storage/windows1252.h"

ListRow ListRow::of(const QByteArray& record, qsizetype index)
{
    const QByteArray expiry = EntryRecord::field(record, EntryRecord::Expiry);
    const QString title = Windows1252::toUnicode(EntryRecord::field(record, EntryRecord::Title)).simplified();
    const QString when = expiry.isEmpty() || expiry == EntryRecord::noExpiry
                             ? QStringLiteral("sem vencimento")
                             : QStringLiteral("vence em ") + Windows1252::toUnicode(expiry);
    return {Windows1252::toUnicode(EntryRecord::displayRow(record, index)), title + QStringLiteral(", ") + when};
}
