#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>

// Brings the entry records of another copy of the vault into the vault's, losing nothing the user would want. A
// record found on both sides is kept once. A record whose title and login match exactly one record of the vault,
// its other fields differing, is the same entry changed on two computers: the version with the later update stamp
// is kept, and the other stays only in the copy. Any other record is kept: a record missing on one side may have
// been added on the other or deleted on this one, and the files cannot tell which.
class EntryMerge
{
public:
    explicit EntryMerge(const QList<QByteArray>& own);

    // What became of a record of a copy.
    enum class Taken
    {
        Added,
        Updated,
        Same,
        Older,
    };

    // Merges the records of one more copy into the result, and says what became of each. A record marked in
    // undated got its update stamp when it was read, its file giving it none: it never replaces a version here and
    // is added beside it.
    QList<Taken> take(const QList<QByteArray>& other, const QList<bool>& undated = {});

    const QList<QByteArray>& records() const { return m_records; }
    // Records of the copies that were not in the vault before.
    qsizetype added() const { return m_added; }
    // Records of the vault replaced by a later version from a copy.
    qsizetype updated() const { return m_updated; }
    // Records of the copies already in the vault as they are.
    qsizetype same() const { return m_same; }
    // Records of the copies older than the vault's version of the entry, left out.
    qsizetype older() const { return m_older; }
    bool changesVault() const { return m_added > 0 || m_updated > 0; }

    // Whether a field has the shape of an update stamp as the writers make it.
    static bool isUpdateStamp(const QByteArray& field);

private:
    void replace(qsizetype index, const QByteArray& record);

    QList<QByteArray> m_records;
    QSet<QByteArray> m_present;
    qsizetype m_added = 0;
    qsizetype m_updated = 0;
    qsizetype m_same = 0;
    qsizetype m_older = 0;
};
