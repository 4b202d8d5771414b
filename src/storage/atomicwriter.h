#pragma once

#include "storage/filefault.h"
#include "storage/filestamp.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Writes a whole file in one step, streamed: the bytes go to a temporary file beside the target (see TemporaryFile),
// which is checked after every write, synced to disk and only then put in the target's place (see FileReplacement);
// the folder is synced after. Until the commit succeeds the target and its backup are untouched, and a writer that
// fails or is dropped before it removes its temporary file. The first failure is kept.
class AtomicWriter
{
public:
    enum class Commit
    {
        // The target must not exist: a file that appeared meanwhile (a second copy of the program) is kept.
        CreateNew,
        // The target is replaced.
        Replace,
        // The target is replaced, and the file it held becomes the target's backup.
        ReplaceKeepingBackup,
    };

    explicit AtomicWriter(const QString& path);
    ~AtomicWriter();
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;

    bool open();
    bool append(QByteArrayView bytes);
    // When replacing, the target must still be the expected file, if one is given: otherwise nothing is changed,
    // the commit fails and foundOutsideChange() says so.
    bool commit(Commit how, const std::optional<FileStamp>& expected = std::nullopt);
    // Drops the temporary file; the target stays as it was.
    void cancel();

    const FileFault& failure() const { return m_failure; }
    // Whether the commit failed because another program had replaced or changed the target.
    bool foundOutsideChange() const { return m_foundOutsideChange; }
    // The committed file's stamp.
    const FileStamp& stamp() const { return m_stamp; }

    // The whole file in one call; returns the reason of a failure, none on success.
    static FileFault write(const QString& path, QByteArrayView bytes, Commit how);

private:
    bool fail(int errorNumber);
    bool fail(const FileFault& reason);
    bool createTarget();
    void restampInPlace();
    void closeFile();

    QString m_path;
    QByteArray m_temporaryPath;
    int m_descriptor = -1;
    FileFault m_failure;
    FileStamp m_stamp;
    bool m_foundOutsideChange = false;
};
