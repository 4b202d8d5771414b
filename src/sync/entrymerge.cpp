#include "sync/entrymerge.h"

#include "storage/entryrecord.h"

#include <QRegularExpression>

namespace {

QByteArray entryKey(const QByteArray& record)
{
    return EntryRecord::field(record, EntryRecord::Title) + '\0' + EntryRecord::field(record, EntryRecord::Login);
}

// The update stamp sorts in time order as text; a malformed one is older than any.
QByteArray updateStampOf(const QByteArray& record)
{
    const QByteArray stamp = EntryRecord::field(record, EntryRecord::Posted);
    return EntryMerge::isUpdateStamp(stamp) ? stamp : QByteArray();
}

} // namespace

EntryMerge::EntryMerge(const QList<QByteArray>& own) : m_records(own), m_present(own.begin(), own.end()) {}

void EntryMerge::take(const QList<QByteArray>& other)
{
    // Only the records held before this copy are matched, each at most once, so that two entries of the copy that
    // share a title and login are both kept.
    QHash<QByteArray, QList<qsizetype>> byKey;
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        byKey[entryKey(m_records.at(i))].append(i);
    }
    QList<QByteArray> added;
    for (const QByteArray& record : other) {
        const auto match = byKey.find(entryKey(record));
        if (m_present.contains(record)) {
            // The entry is here as it is: a changed one of the same title and login beside it in the copy is
            // another entry of the copy, not a newer version of this one.
            if (match != byKey.end()) {
                match->removeIf([&](qsizetype index) { return m_records.at(index) == record; });
            }
            ++m_same;
            continue;
        }
        if (match == byKey.end() || match->size() != 1) {
            added.append(record);
            m_present.insert(record);
            continue;
        }
        const qsizetype index = match->first();
        byKey.erase(match);
        if (updateStampOf(record) > updateStampOf(m_records.at(index))) {
            replace(index, record);
            ++m_updated;
        } else {
            ++m_older;
        }
    }
    m_added += added.size();
    m_records.append(added);
}

void EntryMerge::replace(qsizetype index, const QByteArray& record)
{
    m_present.remove(m_records.at(index));
    m_records[index] = record;
    m_present.insert(record);
}

bool EntryMerge::isUpdateStamp(const QByteArray& field)
{
    static const QRegularExpression shape(QStringLiteral(R"(^\d\d\.\d\d\.\d\d\.\d\d\.\d\d\.\d\d$)"));
    return shape.match(QString::fromLatin1(field)).hasMatch();
}
