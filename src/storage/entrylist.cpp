#include "storage/entrylist.h"

#include "storage/cipher.h"
#include "storage/windows1252.h"

#include <QCollator>

#include <algorithm>

namespace {

// The user's locale; without one (the C or POSIX locale) the common collation of every language, since the C
// collation compares code values, which would put "Zed" before "abc" and "abc§" before "ab§".
QLocale sortLocale()
{
    const QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
}

// One collator for the whole run: making one costs more than many sort keys.
const QCollator& collator()
{
    static const QCollator sorting = [] {
        QCollator made(sortLocale());
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return sorting;
}

} // namespace

EntryList::EntryList(const QList<QByteArray>& records)
{
    m_entries.reserve(size_t(records.size()));
    for (const QByteArray& record : records) {
        if (!isBlank(record)) {
            m_entries.push_back(entryOf(record));
        }
    }
    std::sort(m_entries.begin(), m_entries.end(), before);
}

EntryList EntryList::withAdded(const QByteArray& record) const
{
    return withAdded(QList<QByteArray>{record});
}

EntryList EntryList::withAdded(const QList<QByteArray>& records) const
{
    EntryList list = *this;
    for (const QByteArray& record : records) {
        if (!isBlank(record)) {
            Entry added = entryOf(record);
            const auto place = std::upper_bound(list.m_entries.begin(), list.m_entries.end(), added, before);
            list.m_entries.insert(place, std::move(added));
        }
    }
    return list;
}

EntryList EntryList::withReplaced(qsizetype index, const QByteArray& replacement) const
{
    EntryList list = *this;
    list.m_entries.erase(list.m_entries.begin() + index);
    return list.withAdded(replacement);
}

bool EntryList::before(const Entry& a, const Entry& b)
{
    const int order = a.sortKey.compare(b.sortKey);
    return order != 0 ? order < 0 : a.record < b.record;
}

bool EntryList::isBlank(const QByteArray& record)
{
    return trimSpaces(record).isEmpty();
}

EntryList::Entry EntryList::entryOf(const QByteArray& record) const
{
    return {record, collator().sortKey(Windows1252::toUnicode(record))};
}
