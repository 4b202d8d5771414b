#pragma once

#include "storage/filefault.h"
#include "storage/filestamp.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <sys/types.h>
#include <utility>

// Puts a file, written whole and synced under a temporary name, in the place of the file it replaces, and syncs the
// folder. Where the file system swaps two names in one step (Linux's RENAME_EXCHANGE, on ext4, XFS, Btrfs, tmpfs
// and others), the new file is swapped in and the file it displaced, now under the temporary name, is compared with
// the file expected there: another program that replaced the target at any moment before is so always noticed, and
// the swap is undone. The displaced file then becomes the backup, or is removed. A step that fails undoes those
// before it, so that the target and its backup stay as they were. Where the file system refuses the swap the target
// is compared just before a plain rename, and a folder sync that fails there cannot be undone.
class FileReplacement
{
public:
    enum class Outcome
    {
        Replaced,
        // The target was not the expected file: nothing was changed.
        ChangedOutside,
        Failed,
    };

    FileReplacement(const QByteArray& temporaryPath, const QString& target);

    // The temporary file is gone afterwards, whatever the outcome. Without an expected file, any file is replaced.
    Outcome replace(const std::optional<FileStamp>& expected, bool keepBackup);

    const FileFault& failure() const { return m_failure; }

private:
    Outcome afterExchange(const std::optional<FileStamp>& expected, bool keepBackup);
    Outcome byRename(const std::optional<FileStamp>& expected, bool keepBackup);
    bool exchangeIntoBackup(bool& exchanged);
    Outcome fail(const FileFault& reason);

    QByteArray m_temporary;
    QString m_target;
    QByteArray m_targetPath;
    QByteArray m_backupPath;
    FileFault m_failure;
    // The device and inode of the file written, to tell it from another program's after a swap back.
    std::pair<dev_t, ino_t> m_written;
};
