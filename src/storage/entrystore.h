#pragma once

#include "storage/atomicwriter.h"
#include "storage/damagedcopy.h"
#include "storage/entrychange.h"
#include "storage/entrylist.h"
#include "storage/filestamp.h"
#include "storage/storageresult.h"

#include <optional>

#include <functional>

class DataFolderAccess;
class QFile;
class SettingsStore;

// pswd.tab in the data folder: the sorted entry records as last read or written, under the installation key the
// settings hold. Every change rewrites the whole file, atomically, keeping the file it replaces as pswd.tab.bak, and
// the list then holds exactly what the file holds. A file that another program changed since it was last read or
// written is read again first and the change made over it; one removed meanwhile is written again from the list.
// Damaged lines stop every write until the bytes of the damaged file are kept in a copy.
class EntryStore
{
public:
    // What the store tells its owner: the list changed, and whether it was taken from a file changed outside.
    struct Listeners
    {
        std::function<void()> listChanged;
        std::function<void()> rereadAfterOutsideChange;
    };

    struct Damage
    {
        qsizetype lines = 0;
        DamagedCopy::Result copy;
    };

    EntryStore(const DataFolderAccess& folder, const SettingsStore& settings, Listeners listeners);

    static QString fileName();
    QString path() const;
    const EntryList& entries() const { return m_entries; }
    const FileStamp& stamp() const { return m_stamp; }
    const Damage& damage() const { return m_damage; }
    // What the user is told about the damaged lines and their copy.
    static StorageNote damageNote(StorageReason reason, const Damage& damage);

    // Reads the file, which stays open in file, into the list; counts the damaged lines.
    StorageResult read(QFile& file, qsizetype& damagedLines);
    // Keeps the bytes of the damaged file just read in a copy and remembers it; fails when no copy was made. Opened
    // read-only, nothing can write over the damage, and no copy is made.
    StorageResult keepDamaged(QFile& file, qsizetype damagedLines);
    void forgetDamage() { m_damage = {}; }

    StorageResult change(const EntryChange& change);

private:
    // What a save found the file to be, compared with the file last read or written.
    enum class Outside
    {
        Unchanged,
        Changed,
        // Changed, with damaged lines, whose bytes are now kept in a copy.
        Damaged,
        Removed,
    };

    StorageResult readInto(QFile& file, EntryList& into, FileStamp& stamp, qsizetype& damagedLines) const;
    // Reads the file again when it is not the file last read or written; the list takes it when its records differ
    // and no line is damaged. A damaged file is kept in a copy first, and the list stays as it was.
    StorageResult rereadChangedOutside(Outside& found);
    // What the user is told of the file a save found, once the save succeeded or not.
    static std::optional<StorageNote> noticeOf(Outside found, const Damage& damage, bool saved);
    // The change made to the list just read again: refused when the record shown is no longer there.
    StorageResult changeOverOutsideChange(const EntryChange& change);
    // Writes the file with the change and takes the changed list.
    StorageResult write(const EntryChange& change, Outside found = Outside::Unchanged);
    bool writeChanged(AtomicWriter& writer, const EntryChange& change) const;

    const DataFolderAccess& m_folder;
    const SettingsStore& m_settings;
    Listeners m_listeners;
    EntryList m_entries;
    FileStamp m_stamp;
    Damage m_damage;
};
