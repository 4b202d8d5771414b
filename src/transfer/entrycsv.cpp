#include "transfer/entrycsv.h"

#include "access/keyfilter.h"
#include "expiry/expirystatus.h"
#include "storage/entrylist.h"
#include "storage/entryrecord.h"
#include "storage/windows1252.h"
#include "transfer/csv.h"

#include <QSet>

#include <algorithm>
#include <optional>
#include <variant>

namespace {

const QStringList header = {QStringLiteral("Title"),        QStringLiteral("Username"), QStringLiteral("Password"),
                            QStringLiteral("URL"),          QStringLiteral("Notes"),    QStringLiteral("Expires"),
                            QStringLiteral("Last Modified")};
const QString isoDate = QStringLiteral("yyyy-MM-dd");
const QString isoDateTime = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
const QString lineBreak = QStringLiteral("\n");

// The limits of the entry windows' boxes.
struct Column
{
    QString name;
    int limit;
    enum Characters
    {
        Storable,
        StorableLines,
        EntryCharacters
    } characters;
};
const Column columns[] = {
    {QStringLiteral("Title"), 45, Column::Storable},
    {QStringLiteral("Username"), 45, Column::EntryCharacters},
    {QStringLiteral("Password"), 20, Column::EntryCharacters},
    {QStringLiteral("URL"), 255, Column::Storable},
    {QStringLiteral("Notes"), 500, Column::StorableLines},
};
const EntryRecord::Field columnFields[] = {EntryRecord::Title, EntryRecord::Login, EntryRecord::Password,
                                           EntryRecord::Address, EntryRecord::Description};

QString fieldText(const QByteArray& record, int field)
{
    return Windows1252::toUnicode(EntryRecord::field(record, field));
}

int twoDigits(const QString& text, qsizetype at)
{
    bool ok = false;
    const int value = text.mid(at, 2).toInt(&ok);
    return ok && text.at(at).isDigit() && text.at(at + 1).isDigit() ? value : -1;
}

// "yy.mm.dd.hh.mm.ss" as the date and time it shows, free of any time zone, or an invalid one.
QDateTime stampTime(const QString& stamp, QDate today)
{
    if (stamp.size() != 17) {
        return {};
    }
    int parts[6];
    for (int i = 0; i < 6; ++i) {
        parts[i] = twoDigits(stamp, i * 3);
        if (parts[i] < 0 || (i < 5 && stamp.at(i * 3 + 2) != QLatin1Char('.'))) {
            return {};
        }
    }
    const QDate date(ExpiryStatus::fullYear(parts[0], today), parts[1], parts[2]);
    const QTime time(parts[3], parts[4], parts[5]);
    return date.isValid() && time.isValid() ? QDateTime(date, time, Qt::UTC) : QDateTime();
}

QStringList exportRow(const QByteArray& record, QDate today)
{
    const QString expiry = fieldText(record, EntryRecord::Expiry);
    const QDate expiryDate = ExpiryStatus::parse(expiry, today);
    const QString stamp = fieldText(record, EntryRecord::Posted);
    const QDateTime stamped = stampTime(stamp, today);
    const QByteArray description = EntryRecord::field(record, EntryRecord::Description);
    return {
        fieldText(record, EntryRecord::Title),
        fieldText(record, EntryRecord::Login),
        fieldText(record, EntryRecord::Password),
        fieldText(record, EntryRecord::Address),
        Windows1252::toUnicode(description).replace(QChar(0xA5), lineBreak),
        expiry == QLatin1String(EntryRecord::noExpiry) ? QString()
        : expiryDate.isValid()                         ? expiryDate.toString(isoDate)
                                                       : expiry,
        stamped.isValid() ? stamped.toString(isoDateTime) : stamp,
    };
}

bool holdsOnly(const QString& text, Column::Characters characters)
{
    const bool lineBreaks = text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    switch (characters) {
    case Column::Storable:
        return !lineBreaks && KeyFilter::isStorable(text);
    case Column::StorableLines:
        return KeyFilter::isStorable(text);
    case Column::EntryCharacters:
        break;
    }
    const QString& allowed = KeyFilter::allowedCharacters(KeyFilter::CharacterSet::EntryWindow);
    return !lineBreaks && std::all_of(text.begin(), text.end(), [&](QChar c) { return allowed.contains(c); });
}

QString refusedCharacters(const QString& text, Column::Characters characters)
{
    QString refused;
    for (const QChar c : text) {
        if (!holdsOnly(QString(c), characters) && !refused.contains(c)) {
            refused +=
                c == QLatin1Char('\n') || c == QLatin1Char('\r') ? QStringLiteral("quebra de linha") : QString(c);
        }
    }
    return refused;
}

// The expiry date of an "Expires" field: empty for none, yyyy-mm-dd, or a date as the vault stores it.
std::optional<QString> expiryOf(const QString& text)
{
    if (text.isEmpty()) {
        return QString::fromLatin1(EntryRecord::noExpiry);
    }
    const QDate date = QDate::fromString(text.left(10), isoDate);
    if (date.isValid() && (text.size() == 10 || text.at(10) == QLatin1Char('T'))) {
        return date.toString(QStringLiteral("dd/MM/yy"));
    }
    if (text == QLatin1String(EntryRecord::noExpiry) ||
        (text.size() == 8 && text.at(2) == QLatin1Char('/') && text.at(5) == QLatin1Char('/') &&
         twoDigits(text, 0) >= 0 && twoDigits(text, 3) >= 0 && twoDigits(text, 6) >= 0)) {
        return text;
    }
    return std::nullopt;
}

// The update stamp of a "Last Modified" field: now when empty, an ISO date and time (turned into local time when it
// names a zone, as KeePassXC's "Z" does), or a stamp as the vault stores it.
std::optional<QByteArray> stampOf(const QString& text, const QDateTime& now)
{
    if (text.isEmpty()) {
        return EntryRecord::updateStamp(now);
    }
    const QDateTime zoned = QDateTime::fromString(text, Qt::ISODate);
    if (zoned.isValid() && zoned.timeSpec() != Qt::LocalTime) {
        return EntryRecord::updateStamp(zoned.toLocalTime());
    }
    const QDate date = QDate::fromString(text.left(10), isoDate);
    const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"));
    if (date.isValid() && time.isValid() && text.at(10) == QLatin1Char('T')) {
        return EntryRecord::updateStamp(QDateTime(date, time, Qt::UTC));
    }
    if (stampTime(text, now.date()).isValid()) {
        return text.toLatin1();
    }
    return std::nullopt;
}

class RowReader
{
public:
    explicit RowReader(const QStringList& names)
    {
        for (const QString& name : header) {
            const auto found = std::find_if(names.begin(), names.end(), [&name](const QString& candidate) {
                return candidate.trimmed().compare(name, Qt::CaseInsensitive) == 0;
            });
            m_positions.append(found == names.end() ? -1 : found - names.begin());
        }
    }
    bool hasEntryColumns() const
    {
        return std::all_of(m_positions.begin(), m_positions.begin() + 5, [](qsizetype at) { return at >= 0; });
    }
    // The record of the row, or why it is left out.
    std::variant<QByteArray, QString> record(const QStringList& row, const QDateTime& now) const
    {
        QList<QByteArray> fields(EntryRecord::FieldCount);
        for (int i = 0; i < 5; ++i) {
            const Column& column = columns[i];
            QString text = value(row, i);
            if (column.characters == Column::StorableLines) {
                text.replace(QStringLiteral("\r\n"), lineBreak).replace(QLatin1Char('\r'), lineBreak);
            }
            if (text.size() > column.limit) {
                return QStringLiteral("%1 com %2 caracteres, o máximo é %3")
                    .arg(column.name)
                    .arg(text.size())
                    .arg(column.limit);
            }
            if (!holdsOnly(text, column.characters)) {
                return QStringLiteral("%1 com caracteres que o cofre não guarda: %2")
                    .arg(column.name, refusedCharacters(text, column.characters));
            }
            fields[columnFields[i]] = Windows1252::fromUnicode(text.replace(lineBreak, QStringLiteral("\r\n")));
        }
        if (value(row, 0).trimmed().isEmpty()) {
            return QStringLiteral("sem título");
        }
        const std::optional<QString> expiry = expiryOf(value(row, 5));
        if (!expiry) {
            return QStringLiteral("data de vencimento inválida: %1").arg(value(row, 5));
        }
        const std::optional<QByteArray> stamp = stampOf(value(row, 6), now);
        if (!stamp) {
            return QStringLiteral("data de modificação inválida: %1").arg(value(row, 6));
        }
        fields[EntryRecord::Expiry] = expiry->toLatin1();
        fields[EntryRecord::Posted] = *stamp;
        return EntryRecord::join(fields);
    }

private:
    QString value(const QStringList& row, int column) const
    {
        const qsizetype at = m_positions.at(column);
        return at >= 0 ? row.value(at) : QString();
    }

    QList<qsizetype> m_positions;
};

} // namespace

namespace EntryCsv {

QByteArray write(const EntryList& entries, QDate today)
{
    QList<QStringList> rows{header};
    for (qsizetype index = 0; index < entries.size(); ++index) {
        rows.append(exportRow(entries.at(index), today));
    }
    return Csv::write(rows);
}

Import read(const QByteArray& csv, const EntryList& stored, const QDateTime& now)
{
    Import result;
    const Csv::Table table = Csv::read(csv);
    if (!table.error.isEmpty() || table.rows.isEmpty()) {
        result.error = table.error.isEmpty() ? QStringLiteral("o arquivo está vazio") : table.error;
        return result;
    }
    const RowReader reader(table.rows.first());
    if (!reader.hasEntryColumns()) {
        result.error = QStringLiteral("o cabeçalho não tem as colunas Title, Username, Password, URL e Notes");
        return result;
    }
    QSet<QByteArray> known;
    for (qsizetype index = 0; index < stored.size(); ++index) {
        known.insert(stored.at(index));
    }
    for (qsizetype row = 1; row < table.rows.size(); ++row) {
        const auto record = reader.record(table.rows.at(row), now);
        const QString line = QStringLiteral("linha %1: ").arg(table.lines.at(row));
        if (const QString* reason = std::get_if<QString>(&record)) {
            result.skipped.append(line + *reason);
        } else if (known.contains(std::get<QByteArray>(record))) {
            result.skipped.append(line + QStringLiteral("igual a uma entrada já guardada"));
        } else {
            known.insert(std::get<QByteArray>(record));
            result.records.append(std::get<QByteArray>(record));
        }
    }
    return result;
}

} // namespace EntryCsv
