#include "storage/entrylist.h"

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

} // namespace

EntryList::EntryList(const QList<QByteArray>& records)
{
    QCollator collator(sortLocale());
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
