#include "transfer/entrykdbx.h"

#include "access/entryfieldrule.h"
#include "expiry/expirystatus.h"
#include "storage/entrylist.h"
#include "storage/entryrecord.h"
#include "storage/windows1252.h"

#include <QRegularExpression>
#include <QSet>

#include <variant>

namespace {

const QString lineFeed = QStringLiteral("\n");
const QTime lastSecond(23, 59, 59);

QString fieldText(const QByteArray& record, EntryRecord::Field field)
{
    return Windows1252::toUnicode(EntryRecord::field(record, field));
}

// "yy.mm.dd.hh.mm.ss" in local time, its year in the century nearest to today.
QDateTime stampTime(const QString& stamp, QDate today)
{
    static const QRegularExpression form(
        QStringLiteral("^(\\d\\d)\\.(\\d\\d)\\.(\\d\\d)\\.(\\d\\d)\\.(\\d\\d)\\.(\\d\\d)$"));
    const QRegularExpressionMatch match = form.match(stamp);
    if (!match.hasMatch()) {
        return {};
    }
    const auto part = [&match](int at) { return match.captured(at).toInt(); };
    const QDate date(ExpiryStatus::fullYear(part(1), today), part(2), part(3));
    const QTime time(part(4), part(5), part(6));
    return date.isValid() && time.isValid() ? QDateTime(date, time) : QDateTime();
}

QString refusedCharacters(const QString& text, const EntryFieldRule& rule)
{
    QStringList refused;
    for (const char32_t code : text.toUcs4()) {
        const QString character = QString::fromUcs4(&code, 1);
        const bool breaksLine = code == U'\n' || code == U'\r';
        if (!rule.stores(character)) {
            const QString shown = breaksLine ? QStringLiteral("quebra de linha") : character;
            if (!refused.contains(shown)) {
                refused.append(shown);
            }
        }
    }
    return refused.join(QStringLiteral(", "));
}

struct Field
{
    const char* name;
    QString KdbxEntry::*value;
    EntryRecord::Field field;
};
const Field fields[] = {
    {"título", &KdbxEntry::title, EntryRecord::Title},      {"usuário", &KdbxEntry::userName, EntryRecord::Login},
    {"senha", &KdbxEntry::password, EntryRecord::Password}, {"endereço", &KdbxEntry::url, EntryRecord::Address},
    {"notas", &KdbxEntry::notes, EntryRecord::Description},
};

// The record of the entry, or why the vault cannot hold it.
std::variant<QByteArray, QString> recordOf(const KdbxEntry& entry, const QDateTime& now)
{
    if (entry.title.trimmed().isEmpty()) {
        return QStringLiteral("o cofre exige um título");
    }
    QList<QByteArray> record(EntryRecord::FieldCount);
    for (const Field& field : fields) {
        QString text = entry.*field.value;
        const EntryFieldRule& rule = EntryFieldRule::of(field.field);
        if (rule.lineBreaks) {
            text.replace(QStringLiteral("\r\n"), lineFeed).replace(QLatin1Char('\r'), lineFeed);
        }
        if (const QString refused = refusedCharacters(text, rule); !refused.isEmpty()) {
            return QStringLiteral("%1 com o que o cofre não guarda: %2").arg(QString::fromUtf8(field.name), refused);
        }
        record[field.field] = Windows1252::fromUnicode(text.replace(lineFeed, QStringLiteral("\r\n")));
    }
    record[EntryRecord::Expiry] = EntryRecord::noExpiry;
    if (entry.expiry.isValid()) {
        const QDate date = entry.expiry.toLocalTime().date();
        if (ExpiryStatus::fullYear(date.year() % 100, now.date()) != date.year()) {
            return QStringLiteral("vence em %1, ano que o cofre não guarda: ele guarda o ano com dois dígitos")
                .arg(date.toString(QStringLiteral("dd/MM/yyyy")));
        }
        record[EntryRecord::Expiry] = date.toString(QStringLiteral("dd/MM/yy")).toLatin1();
    }
    record[EntryRecord::Posted] =
        EntryRecord::updateStamp(entry.lastModification.isValid() ? entry.lastModification.toLocalTime() : now);
    return EntryRecord::join(record);
}

} // namespace

namespace EntryKdbx {

KdbxEntry entryOf(const QByteArray& record, const QDateTime& now)
{
    KdbxEntry entry;
    for (const Field& field : fields) {
        entry.*field.value = fieldText(record, field.field);
    }
    entry.notes =
        Windows1252::toUnicode(EntryRecord::descriptionLines(EntryRecord::field(record, EntryRecord::Description)))
            .replace(QStringLiteral("\r\n"), lineFeed);
    const QDateTime stamped = stampTime(fieldText(record, EntryRecord::Posted), now.date());
    entry.lastModification = (stamped.isValid() ? stamped : now).toUTC();
    const QDate expiry = ExpiryStatus::parse(fieldText(record, EntryRecord::Expiry), now.date());
    if (expiry.isValid()) {
        entry.expiry = QDateTime(expiry, lastSecond).toUTC();
    }
    return entry;
}

Import recordsOf(const QList<KdbxEntry>& entries, const EntryList& stored, const QDateTime& now)
{
    Import result;
    QSet<QByteArray> known;
    for (qsizetype index = 0; index < stored.size(); ++index) {
        known.insert(stored.at(index));
    }
    for (const KdbxEntry& entry : entries) {
        const auto record = recordOf(entry, now);
        if (const QString* reason = std::get_if<QString>(&record)) {
            result.refused.append(QStringLiteral("\"%1\": %2").arg(entry.title, *reason));
        } else if (known.contains(std::get<QByteArray>(record))) {
            ++result.repeated;
        } else {
            known.insert(std::get<QByteArray>(record));
            result.records.append(std::get<QByteArray>(record));
            result.undated.append(!entry.lastModification.isValid());
            result.names.append(QStringLiteral("\"%1\"").arg(entry.title));
        }
    }
    return result;
}

} // namespace EntryKdbx
