#pragma once

#include <QLockFile>
#include <QString>

// Claims a data folder for one running program: while a copy holds it, every other start on that folder — the
// window or a command-line job — must leave the data files alone. The claim is a lock file in the folder, released
// when the holder ends; the file left by a copy that was killed is taken over by the next start.
class DataFolderLock
{
public:
    enum class Outcome
    {
        Taken,
        HeldByAnotherCopy,
        // The folder cannot be written to, so no copy can change the files there either.
        ReadOnlyFolder,
        Failed,
    };

    explicit DataFolderLock(const QString& dataFolder);

    Outcome take();
    QString path() const { return m_path; }
    // Why take() failed, in Portuguese.
    QString failureMessage() const;

    static constexpr char fileName[] = "keyhound.lock";

private:
    QString m_path;
    QLockFile m_lock;
};
