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
    return StorageResult::failed(QStringLiteral("Nada foi gravado: o programa foi aberto só para leitura.\n\n") +
                                 m_readOnlyReason);
}

StorageResult DataFolderAccess::openForReading(QFile& file, const QString& name) const
{
    const DataFileCheck::Target target = DataFileCheck::dataFile(m_path, name);
    if (!target.refusal.isEmpty()) {
        return StorageResult::failed(target.refusal);
    }
    if (const QString reason = DataFileCheck::openForReading(file, target.path); !reason.isEmpty()) {
        return StorageResult::failed(StorageNote::fileError(name, QStringLiteral("ler"), reason));
    }
    if (file.size() > DataFileCheck::largeFileSize) {
        const QString question = QStringLiteral("O arquivo %1 tem %2 MB, muito mais do que um arquivo de senhas "
                                                "costuma ter. Ele pode não ser um arquivo deste programa, e lê-lo "
                                                "pode demorar e ocupar muita memória.\n\nAbrir assim mesmo?")
                                     .arg(target.path)
                                     .arg(file.size() >> 20);
        if (!m_confirmLargeFile || !m_confirmLargeFile(question)) {
            return StorageResult::failed(QStringLiteral("O arquivo %1 não foi aberto.").arg(target.path));
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
    const QString reason = AtomicWriter::write(path, contents, AtomicWriter::Commit::CreateNew);
    if (reason.isEmpty() || QFileInfo(path).exists()) {
        return {};
    }
    return StorageResult::failed(StorageNote::fileError(
        name, QStringLiteral("criar"),
        QStringLiteral("%1\n\nNada foi gravado. Verifique se há espaço livre no disco e se a pasta %2 permite "
                       "gravação.")
            .arg(reason, m_path)));
}
