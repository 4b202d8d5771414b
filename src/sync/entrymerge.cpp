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

QList<EntryMerge::Taken> EntryMerge::take(const QList<QByteArray>& other, const QList<bool>& undated)
{
    // Only the records held before this copy are matched, each at most once, so that two entries of the copy that
    // share a title and login are both kept.
    QHash<QByteArray, QList<qsizetype>> byKey;
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        byKey[entryKey(m_records.at(i))].append(i);
    }
    QList<QByteArray> added;
    QList<Taken> taken;
    taken.reserve(other.size());
    for (qsizetype at = 0; at < other.size(); ++at) {
        const QByteArray& record = other.at(at);
        const auto match = undated.value(at) ? byKey.end() : byKey.find(entryKey(record));
        if (m_present.contains(record)) {
            // The entry is here as it is: a changed one of the same title and login beside it in the copy is
            // another entry of the copy, not a newer version of this one.
            if (match != byKey.end()) {
                match->removeIf([&](qsizetype index) { return m_records.at(index) == record; });
            }
            ++m_same;
            taken.append(Taken::Same);
            continue;
        }
        if (match == byKey.end() || match->size() != 1) {
            added.append(record);
            m_present.insert(record);
            taken.append(Taken::Added);
            continue;
        }
        const qsizetype index = match->first();
        byKey.erase(match);
        if (updateStampOf(record) > updateStampOf(m_records.at(index))) {
            replace(index, record);
            ++m_updated;
            taken.append(Taken::Updated);
        } else {
            ++m_older;
            taken.append(Taken::Older);
        }
    }
    m_added += added.size();
    m_records.append(added);
    return taken;
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
