#pragma once

#include <QByteArray>
#include <QList>

// Every deciphered entry record, kept in ascending order of the whole record text, compared without regard to
// letter case in the collation of the user's locale. Records that compare equal keep the order of their bytes, so
// the order never depends on the order of reading. A record's position here is its index.
class EntryList
{
public:
    // One change to the list, planned before the file is written and applied once it is: the record at `removed`
    // goes (-1: none), then `record` takes the index `inserted` (-1: none).
    struct Change
    {
        qsizetype removed = -1;
        qsizetype inserted = -1;
        QByteArray record;
    };

    EntryList() = default;
    // Records as read from the file. The program writes them in order, so only the records that break the order
    // are sorted and put in their places; most of another program's order is kept as well. Records of nothing but
    // spaces are left out.
    explicit EntryList(QList<QByteArray> records);

    // Adding the record; a record of nothing but spaces is left out, as reading a file leaves it out.
    Change adding(const QByteArray& record) const;
    // Replacing the record at index, or removing it when the replacement is empty or only spaces.
    Change replacing(qsizetype index, const QByteArray& replacement) const;
    // Removing the record at index.
    Change removing(qsizetype index) const { return {index, -1, {}}; }
    // Changes the list in place; the change must have been planned on the list as it is.
    void apply(const Change& change);

    qsizetype size() const { return m_records.size(); }
    bool isEmpty() const { return m_records.isEmpty(); }
    const QByteArray& at(qsizetype index) const { return m_records.at(index); }
    const QList<QByteArray>& records() const { return m_records; }
    bool contains(qsizetype index) const { return index >= 0 && index < size(); }

private:
    QList<QByteArray> m_records;
};
