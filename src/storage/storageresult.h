#pragma once

#include "storage/filefault.h"

#include <QList>
#include <QString>

// What the stores of the data folder tell the user, each named for what happened. The words are chosen above
// storage; a note carries what they need.
enum class StorageReason
{
    // A data file or its folder may not be used: the fault says why.
    Refused,
    // Every write is refused; the detail says why the program was opened only for reading.
    ReadOnly,
    // The file could not be read, written or created, for the fault.
    CannotRead,
    CannotWrite,
    CannotCreate,
    OutOfMemory,
    // Follows a failed create: the folder may be full or closed to writing.
    CheckFolderWritable,
    // A file of unusual size that the user chose not to open.
    LargeFileNotOpened,
    // Nothing is written before the settings gave the installation key.
    SettingsNotRead,
    // Follows a data file refused as unsafe to use.
    NothingWritten,
    NothingReadOrWritten,
    // The file was changed by another program since it was read, and nothing was written.
    ChangedOutsideNothingWritten,
    // ... and it kept changing while the change was written.
    ChangedOutsideWhileWriting,
    // ... and the entry shown is no longer in it.
    ChangedOutsideShownEntryGone,
    // ... and the lists were read again from it.
    ChangedOutsideListReread,
    ChangedOutsideSettingsReread,
    // ... and the change was made over what it holds.
    SavedOverOutsideChange,
    // The file had been removed by another program: written anew, or now held only by the program.
    EntriesRemovedRewritten,
    EntriesRemovedUnsaved,
    SettingsRemovedRewritten,
    SettingsRemovedUnsaved,
    PreviousFileKept,
    PreviousSettingsKept,
    // The settings file is missing or holds no key, while its backup holds one.
    SettingsMissingBackupHoldsKey,
    NoInstallationKey,
    BackupHoldsKey,
    // Follows a failure at start.
    ProgramEnds,
    // pswd.tab holds damaged lines: found at start, kept in the copy that the file names; found at start in a vault
    // opened read-only; found when a save read again a file changed outside, with the change written or not; or the
    // copy could not be made, for the fault.
    DamagedAtStart,
    DamagedReadOnly,
    DamagedOutsideSaved,
    DamagedOutsideUnsaved,
    DamagedCopyFailed,
};

struct StorageNote
{
    StorageReason reason = StorageReason::Refused;
    // The file concerned, by name or path.
    QString file;
    // The words of the layer above that opened the vault only for reading.
    QString detail;
    // The data folder, where the words name it.
    QString folder;
    // How many lines of the file are damaged, and whether their copy is one kept before.
    qsizetype damagedLines = 0;
    bool earlierCopy = false;
    // What the system or the checks of the data folder found.
    FileFault fault = {};
};

// What became of a change to a data file, and what to tell the user; notes that come with Done are a warning to
// show before going on.
struct StorageResult
{
    enum Status
    {
        Done,
        // The entry shown is no longer the one at its index: nothing was changed.
        StaleEntry,
        Failed,
        // The file had been changed by another program since it was read: nothing was written, the lists were read
        // again from the file, and the notes say so.
        ChangedOutside,
        // The file had been changed by another program since it was read: the change was made to what the file held
        // then, which the lists now show, and the notes say so.
        SavedOverOutsideChange,
    };

    Status status = Done;
    QList<StorageNote> notes;

    bool ok() const { return status == Done || status == SavedOverOutsideChange; }
    static StorageResult failed(const StorageNote& note) { return {Failed, {note}}; }
    static StorageResult failed(StorageReason reason, const QString& file, const FileFault& fault = {})
    {
        StorageNote note{reason, file, {}, {}};
        note.fault = fault;
        return failed(note);
    }
    static StorageResult refused(const FileFault& why) { return failed(StorageReason::Refused, {}, why); }
    StorageResult& then(const StorageNote& note) { return notes.append(note), *this; }
    StorageResult& then(StorageReason reason, const QString& file = {}) { return then({reason, file, {}, {}}); }
};
