#pragma once

#include "sync/entrymerge.h"
#include "sync/mergesave.h"

#include <QByteArray>
#include <QList>

class Vault;

// The records read from a file to import, brought into the vault's by the rules that merge copies of the vault: a
// record already stored is kept once; one whose title and login match a stored entry replaces it when it was changed
// later, and is left out when earlier; any other is added. A record whose file gave it no update time never replaces
// a stored one. Nothing is stored until save(), which writes pswd.tab whole in one step or leaves it as it was.
class ImportMerge
{
public:
    ImportMerge(const Vault& vault, const QList<QByteArray>& records, const QList<bool>& undated);

    const EntryMerge& merge() const { return m_merge; }
    // The positions among the records read of those left out as older than the stored version.
    const QList<qsizetype>& older() const { return m_older; }

    MergeSave::Outcome save() const;

private:
    const Vault& m_vault;
    EntryMerge m_merge;
    QList<qsizetype> m_older;
};
