#pragma once

#include <QByteArray>
#include <QList>

// One change the user makes to the entries: records added, or the record shown at an index replaced or deleted. A
// record replaced or deleted must still be the one shown there; otherwise nothing changes.
struct EntryChange
{
    enum class Kind
    {
        Add,
        Replace,
        Delete,
    };

    Kind kind = Kind::Add;
    qsizetype index = -1;
    QByteArray shown;
    // The records added, or the one replacement.
    QList<QByteArray> records;

    static EntryChange adding(const QList<QByteArray>& records) { return {Kind::Add, -1, {}, records}; }
    static EntryChange replacing(qsizetype index, const QByteArray& shown, const QByteArray& replacement)
    {
        return {Kind::Replace, index, shown, {replacement}};
    }
    static EntryChange deleting(qsizetype index, const QByteArray& shown) { return {Kind::Delete, index, shown, {}}; }

    bool changesShownRecord() const { return kind != Kind::Add; }
    // The same change made to the record shown, found at another index.
    EntryChange at(qsizetype otherIndex) const
    {
        EntryChange moved = *this;
        moved.index = otherIndex;
        return moved;
    }
};
