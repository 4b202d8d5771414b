#include "transfer/importmerge.h"

#include "storage/vault.h"

ImportMerge::ImportMerge(const Vault& vault, const QList<QByteArray>& records, const QList<bool>& undated)
    : m_vault(vault), m_merge(vault.entries().records())
{
    const QList<EntryMerge::Taken> taken = m_merge.take(records, undated);
    for (qsizetype at = 0; at < taken.size(); ++at) {
        if (taken.at(at) == EntryMerge::Taken::Older) {
            m_older.append(at);
        }
    }
}

MergeSave::Outcome ImportMerge::save() const
{
    return MergeSave::saveEntries(m_vault, m_merge);
}
