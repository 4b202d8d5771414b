#include "storage/backupfile.h"

#include "storage/atomicwriter.h"
#include "storage/systemerror.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 copyPieceSize = 1 << 20;

// Streams the file into an atomic writer of the backup.
QString copyOver(const QString& path, const QString& backup)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        return SystemError::reason(source.errorString());
    }
    AtomicWriter writer(backup);
    if (!writer.open()) {
        return writer.failure();
    }
    QByteArray piece(copyPieceSize, Qt::Uninitialized);
    qint64 length = 0;
    while ((length = source.read(piece.data(), piece.size())) > 0) {
        if (!writer.append(QByteArrayView(piece.constData(), length))) {
            return writer.failure();
        }
    }
    if (length < 0) {
        return SystemError::reason(source.errorString());
    }
    writer.commit(AtomicWriter::Commit::Replace);
    return writer.failure();
}

// A hard link under a temporary name, made owner-only and renamed over the backup; a copy where links fail.
QString linkOver(const QString& path, const QString& backup)
{
    const QByteArray current = QFile::encodeName(path);
    const QByteArray link = QFile::encodeName(AtomicWriter::unusedTemporaryPath(path));
    if (::link(current.constData(), link.constData()) != 0) {
        return errno == ENOENT ? QString() : copyOver(path, backup);
    }
    // The file's own mode comes along with the link; the backup is for its owner only whatever the file allowed.
    struct stat status;
    const bool owned = ::lstat(link.constData(), &status) == 0 &&
                       (!S_ISREG(status.st_mode) || ::chmod(link.constData(), S_IRUSR | S_IWUSR) == 0);
    if (!owned || ::rename(link.constData(), QFile::encodeName(backup).constData()) != 0) {
        const int error = errno;
        ::unlink(link.constData());
        return SystemError::reason(error);
    }
    return {};
}

} // namespace

namespace BackupFile {

QString pathOf(const QString& path)
{
    return path + QStringLiteral(".bak");
}

QString keep(const QString& path)
{
    const QString reason = linkOver(path, pathOf(path));
    return reason.isEmpty() ? reason
                            : QStringLiteral("A cópia de segurança %1 não pôde ser guardada. %2")
                                  .arg(QFileInfo(pathOf(path)).fileName(), reason);
}

} // namespace BackupFile
