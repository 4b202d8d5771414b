#pragma once

#include "storage/filestamp.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Writes a whole file in one step, streamed: the bytes go to a temporary file beside the target (named after it
// plus a dot and six letters or digits, readable and writable by its owner only from the start), which is checked
// after every write, synced to disk and only then renamed over the target; the folder is synced after the rename.
// Until the commit succeeds the target is untouched, and a writer that fails or is dropped before it removes its
// temporary file. Failures are kept as the first reason, in Portuguese.
class AtomicWriter
{
public:
    enum class Commit
    {
        // The target must not exist: a file that appeared meanwhile (a second copy of the program) is kept.
        CreateNew,
        // The target is replaced.
        Replace,
        // The target is replaced, and the file it held is kept as the target's backup first.
        ReplaceKeepingBackup,
    };

    explicit AtomicWriter(const QString& path);
    ~AtomicWriter();
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;

    bool open();
    bool append(QByteArrayView bytes);
    bool commit(Commit how);
    // Drops the temporary file; the target stays as it was.
    void cancel();

    const QString& failure() const { return m_failure; }
    // The committed file's stamp.
    const FileStamp& stamp() const { return m_stamp; }

    // The whole file in one call; returns the reason of a failure, empty on success.
    static QString write(const QString& path, QByteArrayView bytes, Commit how, FileStamp* stamp = nullptr);

    // Whether a file name is one of the writer's temporary names for the target name.
    static bool isTemporaryName(const QString& name, const QString& targetName);
    // A temporary name for the target that is not in use at this moment: the target's path plus the suffix.
    static QString unusedTemporaryPath(const QString& path);

private:
    bool fail(int errorNumber);
    void closeFile();

    QString m_path;
    QByteArray m_temporaryPath;
    int m_descriptor = -1;
    QString m_failure;
    FileStamp m_stamp;
};
