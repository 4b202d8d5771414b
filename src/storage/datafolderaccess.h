#pragma once

#include "storage/storageresult.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QFile;

// The folder that holds the data files, and what every store in it asks before it reads or writes: whether the
// program may write at all, whether a file is one to read, whether one is missing.
class DataFolderAccess
{
public:
    explicit DataFolderAccess(const QString& path) : m_path(path) {}

    QString path() const { return m_path; }
    QString filePath(const QString& name) const;

    // Asked with the file's path and size in megabytes before a file of unusual size is read.
    void setLargeFileConfirmation(std::function<bool(const QString& path, qint64 megabytes)> confirm)
    {
        m_confirmLargeFile = std::move(confirm);
    }
    void setReadOnly(const QString& reason) { m_readOnlyReason = reason; }
    bool isReadOnly() const { return !m_readOnlyReason.isEmpty(); }
    // Every write asks here first.
    StorageResult refusalWhileReadOnly() const;

    // Opens the data file, refused when others could change it or it is no regular file, and asks before a file of
    // unusual size is read.
    StorageResult openForReading(QFile& file, const QString& name) const;
    // Creates the file with the contents unless something is at its path.
    StorageResult createIfMissing(const QString& name, const QByteArray& contents) const;

    // Nothing at the path, not even a link: the file was removed, or never made.
    static bool isMissing(const QString& path);

private:
    QString m_path;
    std::function<bool(const QString&, qint64)> m_confirmLargeFile;
    QString m_readOnlyReason;
};
