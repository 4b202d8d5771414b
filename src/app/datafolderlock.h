#pragma once

#include <QString>

// Claims a data folder for one running program: while a copy holds it, every other start on that folder — the
// window or a command-line job — must leave the data files alone. The claim is the kernel's lock (flock) on the file
// keyhound.lock in the folder, held for the whole run and released by the kernel when the holder ends, however it
// ends. Whatever the file holds — nothing, zeros, the id of a process long gone or of another boot — it is taken
// over whenever no running process holds its lock: a crash can never lock the user out.
class DataFolderLock
{
public:
    enum class Outcome
    {
        Taken,
        HeldByAnotherCopy,
        // The lock file cannot be made or locked (a read-only folder, a full disk, a file system without locks): no
        // copy holds the folder, so this one may read the files but must change none of them.
        Unavailable,
    };

    explicit DataFolderLock(const QString& dataFolder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    Outcome take();
    QString path() const { return m_path; }
    // Why take() found the lock unavailable, in Portuguese.
    QString failureMessage() const;

    // The process id that the holder of the folder's lock wrote into the file; 0 when none is written there.
    static qint64 holderOf(const QString& dataFolder);

    static constexpr char fileName[] = "keyhound.lock";

private:
    QString m_path;
    int m_handle = -1;
    QString m_failure;
};
