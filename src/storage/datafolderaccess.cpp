#include "storage/datafolderaccess.h"

#include "storage/atomicwriter.h"
#include "storage/datafilecheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString DataFolderAccess::filePath(const QString& name) const
{
    return QDir(m_path).filePath(name);
}

bool DataFolderAccess::isMissing(const QString& path)
{
    return !QFileInfo(path).exists() && !QFileInfo(path).isSymLink();
}

StorageResult DataFolderAccess::refusalWhileReadOnly() const
{
    if (!isReadOnly()) {
        return {};
    }
    return StorageResult::failed({StorageReason::ReadOnly, {}, m_readOnlyReason, {}});
}

StorageResult DataFolderAccess::openForReading(QFile& file, const QString& name) const
{
    const DataFileCheck::Target target = DataFileCheck::dataFile(m_path, name);
    if (target.refused()) {
        return StorageResult::refused(target.refusal);
    }
    if (const FileFault reason = DataFileCheck::openForReading(file, target.path); !reason.isNone()) {
        return StorageResult::failed(StorageReason::CannotRead, name, reason);
    }
    if (file.size() > DataFileCheck::largeFileSize) {
        if (!m_confirmLargeFile || !m_confirmLargeFile(target.path, file.size() >> 20)) {
            return StorageResult::failed(StorageReason::LargeFileNotOpened, target.path);
        }
    }
    return {};
}

StorageResult DataFolderAccess::createIfMissing(const QString& name, const QByteArray& contents) const
{
    // Whatever its attributes, a file that exists is never replaced here: it may hold the only copy of the key. A
    // file that a second copy of the program creates meanwhile is kept as well.
    const QString path = filePath(name);
    if (!isMissing(path)) {
        return {};
    }
    if (StorageResult refused = refusalWhileReadOnly(); !refused.ok()) {
        return refused;
    }
    const FileFault reason = AtomicWriter::write(path, contents, AtomicWriter::Commit::CreateNew);
    if (reason.isNone() || QFileInfo(path).exists()) {
        return {};
    }
    return StorageResult::failed(StorageReason::CannotCreate, name, reason)
        .then({StorageReason::CheckFolderWritable, name, {}, m_path});
}
