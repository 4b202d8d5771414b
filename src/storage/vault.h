#pragma once

#include "storage/atomicwriter.h"
#include "storage/damagedcopy.h"
#include "storage/entrylist.h"
#include "storage/filestamp.h"
#include "storage/settingsfile.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QFile;

// What became of a change to a data file. Messages are for the user, in Portuguese; a message that comes with Done
// is a warning to show before going on.
struct StorageResult
{
    enum Status
    {
        Done,
        // The entry shown is no longer the one at its index: nothing was changed.
        StaleEntry,
        Failed,
        // The file had been changed by another program since it was read: nothing was written, the lists were read
        // again from the file, and the message says so.
        ChangedOutside,
        // The file had been changed by another program since it was read: the change was made to what the file held
        // then, which the lists now show, and the message says so.
        SavedOverOutsideChange,
    };

    Status status = Done;
    QString message;

    bool ok() const { return status == Done || status == SavedOverOutsideChange; }
    static StorageResult failed(const QString& message) { return {Failed, message}; }
};

// The user's data as the program holds it: the settings of cnfg.tab and the sorted entry records of pswd.tab, both
// in the data folder. Every change rewrites the whole file, atomically, keeping the file it replaces as <name>.bak,
// and the lists then hold exactly what the file holds, in the order reading it gives. A change that fails leaves the
// file and the lists as they were. A file that another program changed since it was last read or written is never
// written over: it is read again first. A file removed meanwhile is written again, as a new file, from what the
// lists hold, with the change, and the result's message says so. Damaged lines found by any reading stop every
// write until the bytes of the damaged file are kept in a copy (see DamagedCopy); the file that copy keeps is then
// replaced without becoming the backup, which keeps the last file that could be read whole.
class Vault : public QObject
{
    Q_OBJECT

public:
    explicit Vault(const QString& dataFolder, QObject* parent = nullptr);

    // Start-up: refuses a data folder or file that others could change, or that is no regular file; creates the
    // files that are missing (a new installation key, the factory password, "Não", and an empty vault), then reads
    // both, and removes what interrupted saves left behind. Fails, with nothing overwritten, when a file cannot be
    // created or read, when cnfg.tab gives no installation key, or when cnfg.tab is missing while its backup holds a
    // key; the program must not go on then. A vault with damaged lines is copied once, as it is, to
    // pswd.tab.danificado (or the next free number, see DamagedCopy) before the start goes on; the result's message
    // then tells the user.
    StorageResult open(const QDateTime& now = QDateTime::currentDateTime());

    // Asked, with a question for the user, before a data file of unusual size is read; without it such a file is
    // refused.
    void setLargeFileConfirmation(std::function<bool(const QString& question)> confirm)
    {
        m_confirmLargeFile = std::move(confirm);
    }

    // The lines of the pswd.tab last read that no save writes, and the copy that keeps that file's bytes; no lines
    // once the program has written the file again.
    struct Damage
    {
        qsizetype lines = 0;
        DamagedCopy::Result copy;
    };
    const Damage& damage() const { return m_damage; }
    // From now on nothing is written: open() creates no file and removes none, and every change is refused with
    // this reason, in Portuguese, which says why the files must be left alone.
    void setReadOnly(const QString& reason) { m_readOnlyReason = reason; }
    bool isReadOnly() const { return !m_readOnlyReason.isEmpty(); }

    const Settings& settings() const { return m_settings; }
    const EntryList& entries() const { return m_entries; }
    QString dataFolder() const { return m_dataFolder; }
    QString vaultPath() const;
    QString settingsPath() const;
    // What each file was when last read or written, for a writer outside the vault to notice a change since.
    const FileStamp& vaultStamp() const { return m_vaultStamp; }
    const FileStamp& settingsStamp() const { return m_settingsStamp; }

    // Reads both files again after they were replaced whole outside the vault (a merge of copies), and tells the
    // windows.
    StorageResult readAgain();

    // When pswd.tab was changed outside the program, an entry is still added to what it holds now, and an entry
    // replaced or deleted if the record shown is still there.
    StorageResult addEntry(const QByteArray& record);
    // Adds every record in one rewrite: all of them are stored, or none.
    StorageResult addEntries(const QList<QByteArray>& records);
    // The record at index must still be shown; otherwise nothing changes.
    StorageResult replaceEntry(qsizetype index, const QByteArray& shown, const QByteArray& replacement);
    StorageResult deleteEntry(qsizetype index, const QByteArray& shown);

    // Rewrites cnfg.tab with the installation key, the new password and the answer, and reads it back. Refused when
    // cnfg.tab was changed outside the program; its settings are read again then. A cnfg.tab removed meanwhile is
    // written again with the key held here, the only way left to read pswd.tab.
    StorageResult saveSettings(const QByteArray& masterPassword, bool askAtStart);

signals:
    void entriesChanged();
    void settingsChanged();
    // pswd.tab, changed by another program, was read again during a save and the list took what it holds now.
    void entriesReadAfterOutsideChange();

private:
    // What a save found pswd.tab to be, compared with the file last read or written.
    enum class Outside
    {
        Unchanged,
        Changed,
        // Changed, with damaged lines, whose bytes are now kept in a copy.
        Damaged,
        Removed,
    };

    // Every write asks here first.
    StorageResult refusalWhileReadOnly() const;
    StorageResult checkDataFiles() const;
    StorageResult openForReading(QFile& file, const char* name) const;
    // Keeps the bytes of the damaged pswd.tab just read in a copy and remembers it; fails when no copy was made.
    StorageResult keepDamagedVault(QFile& file, qsizetype damagedLines);
    StorageResult createIfMissing(const QString& path, const QString& name, const QByteArray& contents) const;
    StorageResult createSettingsIfMissing(const QDateTime& now) const;
    StorageResult readSettings();
    void takeSettings(const Settings& read);
    StorageResult readSettingsFile(QByteArray& contents, FileStamp& stamp) const;
    // Opens the file, which stays open, and reads it.
    StorageResult readEntries(QFile& file, EntryList& into, FileStamp& stamp, qsizetype& damagedLines) const;
    // Replaces the record at index, shown there, by the first of the records (an empty record deletes it), or adds
    // the records without an index.
    StorageResult changeEntries(std::optional<qsizetype> index, const QByteArray& shown,
                                const QList<QByteArray>& records);
    // Reads pswd.tab again when it is not the file last read or written; the list takes it when its records differ
    // and no line is damaged. A damaged file is kept in a copy first, and the list stays as it was.
    StorageResult rereadEntriesChangedOutside(Outside& found);
    // What the user is told of the file a save found, once the save succeeded or not.
    static QString noticeOf(Outside found, const Damage& damage, bool saved);
    // The change made to the list just read again: refused when the record shown is no longer there.
    StorageResult changeOverOutsideChange(std::optional<qsizetype> index, const QByteArray& shown,
                                          const QList<QByteArray>& records);
    // Writes the file with the change and takes the changed list; the caller tells the windows.
    StorageResult writeVault(std::optional<qsizetype> index, const QList<QByteArray>& records,
                             Outside found = Outside::Unchanged);
    StorageResult rereadChangedSettings();
    // Writes cnfg.tab, unless another program replaces it meanwhile with other settings; a failure's message ends
    // with the note given.
    StorageResult writeSettingsFile(const QString& path, const QByteArray& file, AtomicWriter::Commit how,
                                    const QString& failureNote);
    bool settingsBackupHoldsKey() const;

    QString m_dataFolder;
    Settings m_settings;
    EntryList m_entries;
    std::function<bool(const QString&)> m_confirmLargeFile;
    QString m_readOnlyReason;
    // What each file was when last read or written.
    FileStamp m_settingsStamp;
    FileStamp m_vaultStamp;
    Damage m_damage;
};
