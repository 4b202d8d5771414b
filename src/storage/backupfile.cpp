#include "storage/backupfile.h"

#include "storage/temporaryfile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 copyPieceSize = 1 << 20;

// Streams the file into a new temporary file and syncs it; returns the errno of a failure, 0 on success.
int copyTo(const QString& path, QByteArray& copy)
{
    const int source = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (source < 0) {
        return errno;
    }
    const int target = TemporaryFile::create(path, copy);
    int error = target < 0 ? errno : 0;
    QByteArray piece(copyPieceSize, Qt::Uninitialized);
    for (ssize_t length = 1; error == 0 && length > 0;) {
        length = ::read(source, piece.data(), size_t(piece.size()));
        for (ssize_t written = 0; length > 0 && error == 0 && written < length;) {
            const ssize_t now = ::write(target, piece.constData() + written, size_t(length - written));
            error = now < 0 && errno != EINTR ? errno : 0;
            written += qMax<ssize_t>(now, 0);
        }
        error = length < 0 && errno != EINTR ? errno : error;
    }
    if (error == 0 && ::fdatasync(target) != 0) {
        error = errno;
    }
    ::close(source);
    if (target >= 0 && ::close(target) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0 && !copy.isEmpty()) {
        ::unlink(copy.constData());
        copy.clear();
    }
    return error;
}

} // namespace

namespace BackupFile {

QString pathOf(const QString& path)
{
    return path + QStringLiteral(".bak");
}

FileFault notKept(const QString& path, int errorNumber)
{
    return FileFault::at(FileFault::Kind::BackupNotKept, pathOf(path), errorNumber);
}

bool isBlocked(const QString& path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(pathOf(path)).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

FileFault prepare(const QString& path, QByteArray& secondName)
{
    secondName = TemporaryFile::unusedPath(path);
    if (::link(QFile::encodeName(path).constData(), secondName.constData()) != 0) {
        const int error = errno;
        secondName.clear();
        if (error == ENOENT) {
            return {};
        }
        const int copyError = copyTo(path, secondName);
        return copyError == 0 ? FileFault() : notKept(path, copyError);
    }
    // The file's own mode comes along with the link; the backup is for its owner only whatever the file allowed.
    if (::chmod(secondName.constData(), S_IRUSR | S_IWUSR) != 0) {
        const int error = errno;
        ::unlink(secondName.constData());
        secondName.clear();
        return notKept(path, error);
    }
    return {};
}

} // namespace BackupFile
