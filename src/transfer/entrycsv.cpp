#include "transfer/entrycsv.h"

#include "access/entryfieldrule.h"
#include "storage/entrylist.h"
#include "storage/entryrecord.h"
#include "storage/windows1252.h"
#include "transfer/csv.h"
#include "transfer/entrycsvtime.h"

#include <QSet>

#include <algorithm>
#include <variant>

namespace {

const QStringList exportHeader = {QStringLiteral("Group"),    QStringLiteral("Title"),  QStringLiteral("Username"),
                                  QStringLiteral("Password"), QStringLiteral("URL"),    QStringLiteral("Notes"),
                                  QStringLiteral("TOTP"),     QStringLiteral("Icon"),   QStringLiteral("Last Modified"),
                                  QStringLiteral("Created"),  QStringLiteral("Expires")};
const QString groupName = QStringLiteral("KeyHound");
const QString lineBreak = QStringLiteral("\n");

// The columns an import takes, by name, and the record field each text column fills.
enum Column
{
    TitleColumn,
    LoginColumn,
    PasswordColumn,
    AddressColumn,
    NotesColumn,
    ExpiresColumn,
    ModifiedColumn,
    TotpColumn,
    ColumnCount
};
const char* const columnNames[ColumnCount] = {"Title", "Username", "Password",      "URL",
                                              "Notes", "Expires",  "Last Modified", "TOTP"};
const EntryRecord::Field textFields[] = {EntryRecord::Title, EntryRecord::Login, EntryRecord::Password,
                                         EntryRecord::Address, EntryRecord::Description};

// A spreadsheet runs a cell that starts with one of these as a formula. A cell that starts with apostrophes and then
// one of them gets one more, so that taking the first away always gives the cell back.
bool startsFormula(const QString& cell)
{
    const auto first = std::find_if(cell.begin(), cell.end(), [](QChar c) { return c != QLatin1Char('\''); });
    return first != cell.end() && QStringLiteral("=+-@\t\r").contains(*first);
}

QString guarded(const QString& cell)
{
    return startsFormula(cell) ? QLatin1Char('\'') + cell : cell;
}

QString unguarded(const QString& cell)
{
    return cell.startsWith(QLatin1Char('\'')) && startsFormula(cell) ? cell.mid(1) : cell;
}

QString fieldText(const QByteArray& record, int field)
{
    return Windows1252::toUnicode(EntryRecord::field(record, field));
}

QStringList exportRow(const QByteArray& record, QDate today)
{
    const QString stamp = EntryCsvTime::exportedStamp(fieldText(record, EntryRecord::Posted), today);
    const QStringList cells = {
        groupName,
        fieldText(record, EntryRecord::Title),
        fieldText(record, EntryRecord::Login),
        fieldText(record, EntryRecord::Password),
        fieldText(record, EntryRecord::Address),
        fieldText(record, EntryRecord::Description).replace(QChar(0xA5), lineBreak),
        {},
        {},
        stamp,
        stamp,
        EntryCsvTime::exportedExpiry(fieldText(record, EntryRecord::Expiry), today),
    };
    QStringList row;
    std::transform(cells.begin(), cells.end(), std::back_inserter(row), guarded);
    return row;
}

// What of the text the field cannot hold, as the user can read it; empty when it holds all. Tabs are kept.
QString unstorable(const QString& text, const EntryFieldRule& rule)
{
    QStringList found;
    for (const char32_t code : text.toUcs4()) {
        const QString character = QString::fromUcs4(&code, 1);
        QString named;
        if (code == '\n' || code == '\r') {
            named = rule.lineBreaks ? QString() : QStringLiteral("quebra de linha");
        } else if (code != '\t' && QChar::category(code) == QChar::Other_Control) {
            named = QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
        } else if (!rule.stores(character)) {
            named = character;
        }
        if (!named.isEmpty() && !found.contains(named)) {
            found.append(named);
        }
    }
    return found.join(QLatin1Char(' '));
}

// The record with its update stamp left empty: what a row without a modification time is compared by.
QByteArray unstamped(const QByteArray& record)
{
    QList<QByteArray> fields = record.split(EntryRecord::separator);
    if (fields.size() > EntryRecord::Posted) {
        fields[EntryRecord::Posted].clear();
    }
    return fields.join(EntryRecord::separator);
}

class RowReader
{
public:
    explicit RowReader(const QStringList& header) : m_width(header.size()), m_guarded(header == exportHeader)
    {
        for (const char* name : columnNames) {
            const auto found = std::find_if(header.begin(), header.end(), [name](const QString& candidate) {
                return candidate.trimmed().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
            });
            m_positions.append(found == header.end() ? -1 : found - header.begin());
        }
    }
    bool hasEntryColumns() const { return !m_positions.first(ExpiresColumn).contains(-1); }
    // "linha 4, "Banco"", or "linha 4" for a row without a title.
    QString rowName(const Csv::Row& row) const
    {
        const QString title = value(row, TitleColumn).simplified();
        return title.isEmpty() ? QStringLiteral("linha %1").arg(row.line)
                               : QStringLiteral("linha %1, \"%2\"").arg(row.line).arg(title);
    }
    // The record of the row, or why it is left out.
    std::variant<QByteArray, QString> record(const Csv::Row& row, const QDateTime& now) const
    {
        if (row.fields.size() != m_width) {
            return QStringLiteral("tem %1 campos, o cabeçalho tem %2").arg(row.fields.size()).arg(m_width);
        }
        QList<QByteArray> fields(EntryRecord::FieldCount);
        for (int column = TitleColumn; column < ExpiresColumn; ++column) {
            QString text = value(row, column);
            const EntryFieldRule& rule = EntryFieldRule::of(textFields[column]);
            if (rule.lineBreaks) {
                text.replace(QStringLiteral("\r\n"), lineBreak).replace(QLatin1Char('\r'), lineBreak);
            }
            if (const QString refused = unstorable(text, rule); !refused.isEmpty()) {
                return QStringLiteral("%1 com caracteres que o cofre não guarda: %2")
                    .arg(QLatin1String(columnNames[column]), refused);
            }
            fields[textFields[column]] = Windows1252::fromUnicode(text.replace(lineBreak, QStringLiteral("\r\n")));
        }
        if (value(row, TitleColumn).trimmed().isEmpty()) {
            return QStringLiteral("sem título");
        }
        const EntryCsvTime::Read expiry = EntryCsvTime::importedExpiry(value(row, ExpiresColumn), now.date());
        const EntryCsvTime::Read stamp = hasStamp(row)
                                             ? EntryCsvTime::importedStamp(value(row, ModifiedColumn), now.date())
                                             : EntryCsvTime::Read{EntryRecord::updateStamp(now), {}};
        for (const EntryCsvTime::Read& read : {expiry, stamp}) {
            if (!read.refusal.isEmpty()) {
                return read.refusal;
            }
        }
        fields[EntryRecord::Expiry] = expiry.value;
        fields[EntryRecord::Posted] = stamp.value;
        return EntryRecord::join(fields);
    }
    bool hasStamp(const Csv::Row& row) const { return !value(row, ModifiedColumn).isEmpty(); }
    // KeePassXC's one-time password secret, which the vault has no field for.
    bool hasTotp(const Csv::Row& row) const { return !value(row, TotpColumn).isEmpty(); }

private:
    QString value(const Csv::Row& row, int column) const
    {
        const qsizetype at = m_positions.at(column);
        const QString text = at >= 0 ? row.fields.value(at) : QString();
        return m_guarded ? unguarded(text) : text;
    }

    qsizetype m_width;
    // Our own export, whose formula guards are taken away again.
    bool m_guarded;
    QList<qsizetype> m_positions;
};

// The records already there, whole and without their stamps, to leave out rows that repeat them.
class KnownRecords
{
public:
    explicit KnownRecords(const EntryList& stored)
    {
        for (qsizetype index = 0; index < stored.size(); ++index) {
            add(stored.at(index));
        }
    }
    bool contains(const QByteArray& record, bool stamped) const
    {
        return stamped ? m_whole.contains(record) : m_unstamped.contains(unstamped(record));
    }
    void add(const QByteArray& record)
    {
        m_whole.insert(record);
        m_unstamped.insert(unstamped(record));
    }

private:
    QSet<QByteArray> m_whole;
    QSet<QByteArray> m_unstamped;
};

} // namespace

namespace EntryCsv {

QByteArray write(const EntryList& entries, QDate today)
{
    QList<QStringList> rows{exportHeader};
    for (qsizetype index = 0; index < entries.size(); ++index) {
        rows.append(exportRow(entries.at(index), today));
    }
    return Csv::write(rows);
}

Import read(QIODevice& csv, const EntryList& stored, const QDateTime& now)
{
    Import result;
    Csv::Reader reader(csv);
    const std::optional<Csv::Row> header = reader.next();
    if (!header) {
        result.error = reader.error().isEmpty() ? QStringLiteral("o arquivo está vazio") : reader.error();
        return result;
    }
    const RowReader rows(header->fields);
    if (!rows.hasEntryColumns()) {
        result.error = QStringLiteral("o cabeçalho não tem as colunas Title, Username, Password, URL e Notes");
        return result;
    }
    KnownRecords known(stored);
    while (const std::optional<Csv::Row> row = reader.next()) {
        const auto record = rows.record(*row, now);
        const QString name = rows.rowName(*row) + QStringLiteral(": ");
        const auto note = [&](qsizetype& count, const QString& reason) {
            ++count;
            if (result.reasons.size() < listedReasons) {
                result.reasons.append(name + reason);
            }
        };
        if (const QString* reason = std::get_if<QString>(&record)) {
            note(result.refusedRows, *reason);
            continue;
        }
        const QByteArray& added = std::get<QByteArray>(record);
        if (known.contains(added, rows.hasStamp(*row))) {
            note(result.repeatedRows, QStringLiteral("igual a uma entrada já guardada"));
            continue;
        }
        known.add(added);
        result.records.append(added);
        result.undated.append(!rows.hasStamp(*row));
        result.names.append(rows.rowName(*row));
        if (rows.hasTotp(*row)) {
            note(result.incompleteRows, QStringLiteral("adicionada sem o TOTP, que o cofre não guarda"));
        }
    }
    if (!reader.error().isEmpty()) {
        Import failed;
        failed.error = reader.error();
        return failed;
    }
    return result;
}

} // namespace EntryCsv
