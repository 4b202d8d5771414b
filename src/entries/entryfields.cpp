#include "entries/entryfields.h"

#include "storage/entryrecord.h"
#include "storage/windows1252.h"

namespace {

QString fieldText(const QByteArray& record, EntryRecord::Field field)
{
    return Windows1252::toUnicode(EntryRecord::field(record, field));
}

} // namespace

EntryFields EntryFields::fromRecord(const QByteArray& record)
{
    EntryFields fields;
    fields.title = fieldText(record, EntryRecord::Title);
    fields.expiry = fieldText(record, EntryRecord::Expiry);
    fields.login = fieldText(record, EntryRecord::Login);
    fields.password = fieldText(record, EntryRecord::Password);
    fields.address = fieldText(record, EntryRecord::Address);
    const QByteArray lines = EntryRecord::descriptionLines(EntryRecord::field(record, EntryRecord::Description));
    fields.description = Windows1252::toUnicode(lines).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    fields.updatedOn = Windows1252::toUnicode(EntryRecord::stampDate(EntryRecord::field(record, EntryRecord::Posted)));
    return fields;
}

bool EntryFields::hasTitle() const
{
    return !title.trimmed().isEmpty();
}

QByteArray EntryFields::toRecord(const QDateTime& savedAt) const
{
    QString lines = description;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return EntryRecord::join({
        Windows1252::fromUnicode(title),
        Windows1252::fromUnicode(expiry),
        EntryRecord::updateStamp(savedAt),
        Windows1252::fromUnicode(login),
        Windows1252::fromUnicode(password),
        Windows1252::fromUnicode(address),
        Windows1252::fromUnicode(lines),
    });
}
