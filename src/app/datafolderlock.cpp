#include "app/datafolderlock.h"

#include <QDir>
#include <QFileInfo>

DataFolderLock::DataFolderLock(const QString& dataFolder)
    : m_path(QDir(dataFolder).filePath(QLatin1String(fileName))), m_lock(m_path)
{
    // Held for the whole run: only a holder that is no longer running makes the file stale, however old it is.
    m_lock.setStaleLockTime(0);
}

DataFolderLock::Outcome DataFolderLock::take()
{
    if (m_lock.tryLock(0)) {
        return Outcome::Taken;
    }
    switch (m_lock.error()) {
    case QLockFile::LockFailedError:
        return Outcome::HeldByAnotherCopy;
    case QLockFile::PermissionError:
        return Outcome::ReadOnlyFolder;
    default:
        return Outcome::Failed;
    }
}

QString DataFolderLock::failureMessage() const
{
    return QStringLiteral("Não foi possível criar o arquivo %1, que impede que duas cópias do programa alterem os "
                          "mesmos dados.\nVerifique se há espaço livre e se a pasta %2 permite gravação.")
        .arg(QDir::toNativeSeparators(m_path), QDir::toNativeSeparators(QFileInfo(m_path).absolutePath()));
}
