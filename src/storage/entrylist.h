#pragma once

#include <QByteArray>
#include <QCollatorSortKey>
#include <QList>

#include <vector>

// Every deciphered entry record, kept in ascending order of the whole record text, compared without regard to
// letter case in the collation of the user's locale. Records that compare equal keep the order of their bytes, so
// the order never depends on the order of reading. A record's position here is its index.
class EntryList
{
public:
    EntryList() = default;
    // Sorts the records; each sort key is computed once. Records of nothing but spaces are left out.
    explicit EntryList(const QList<QByteArray>& records);

    // The list with one record more, in its place; only the new record's sort key is computed. A record of nothing
    // but spaces is left out, as reading a file leaves it out.
    EntryList withAdded(const QByteArray& record) const;
    // The same with several records, the list copied once.
    EntryList withAdded(const QList<QByteArray>& records) const;
    // The list with the record at index replaced, or removed when the replacement is empty or only spaces.
    EntryList withReplaced(qsizetype index, const QByteArray& replacement) const;

    qsizetype size() const { return qsizetype(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    const QByteArray& at(qsizetype index) const { return m_entries[size_t(index)].record; }
    bool contains(qsizetype index) const { return index >= 0 && index < size(); }

private:
    struct Entry
    {
        QByteArray record;
        QCollatorSortKey sortKey;
    };

    static bool before(const Entry& a, const Entry& b);
    static bool isBlank(const QByteArray& record);
    Entry entryOf(const QByteArray& record) const;

    std::vector<Entry> m_entries;
};
