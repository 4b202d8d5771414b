#include "storage/settingsfile.h"

#include "storage/entryrecord.h"
#include "storage/linecodec.h"

namespace SettingsFile {

QByteArray makeInstallationKey(const QDateTime& now)
{
    const QDate date = now.date();
    const QTime time = now.time();
    const qint64 datePart = QByteArray::number(date.day())
                                .append(QByteArray::number(date.month()))
                                .append(QByteArray::number(date.year() % 100).rightJustified(2, '0'))
                                .toLongLong();
    const qint64 timePart = QByteArray::number(time.hour())
                                .append(QByteArray::number(time.minute()))
                                .append(QByteArray::number(time.second()))
                                .toLongLong();
    return QByteArray::number(datePart + timePart);
}

QByteArray encode(const Settings& settings)
{
    const QByteArray record = settings.installationKey + EntryRecord::separator + settings.masterPassword +
                              EntryRecord::separator + settings.askAtStart;
    return LineCodec::wrapBody(LineCodec::encode(record, settingsKey));
}

Settings decode(QByteArrayView contents)
{
    // The last line that holds a record: an empty line left after it (by an editor, say) must not hide the key.
    const QList<QByteArray> records = LineCodec::decodeFile(contents, settingsKey);
    const QByteArray record = records.isEmpty() ? QByteArray() : records.last();
    const QList<QByteArray> fields = record.split(EntryRecord::separator);
    const auto fieldAt = [&fields](int i) { return i < fields.size() ? fields[i] : QByteArray(); };
    return {fieldAt(0), fieldAt(1), fieldAt(2)};
}

} // namespace SettingsFile
