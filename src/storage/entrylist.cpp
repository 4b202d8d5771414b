#include "storage/entrylist.h"

#include "storage/windows1252.h"

#include <QCollator>

#include <algorithm>

EntryList::EntryList(const QList<QByteArray>& records)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_entries.reserve(size_t(records.size()));
    for (const QByteArray& record : records) {
        m_entries.push_back({record, collator.sortKey(Windows1252::toUnicode(record))});
    }
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) {
        const int order = a.sortKey.compare(b.sortKey);
        return order != 0 ? order < 0 : a.record < b.record;
    });
}
