#pragma once

#include <QString>

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

// The sentences that the stores of the data folder share in what they tell the user.
namespace StorageNote {

QString fileError(const QString& fileName, const QString& action, const QString& reason);
QString endingNote();
QString changedOutsideNote(const QString& fileName);
QString repeatedChangeNote();
QString removedNote(const QString& fileName, const QString& writtenWith);
// Nothing can be lost then, as nothing on disk is written over; but until a write succeeds, what the file held is
// only in the program.
QString removedUnsavedNote(const QString& fileName, const QString& heldWhere);
// Nothing is written before the installation key is known: entries would be stored barely enciphered, and a
// settings file without the key would lose every saved password.
StorageResult withoutKey(const QString& fileName);
// A data file that another user could have swapped, or that is no file at all, is neither read nor written.
StorageResult refusedWrite(const QString& refusal);

} // namespace StorageNote
