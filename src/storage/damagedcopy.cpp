#include "storage/damagedcopy.h"

#include "storage/datafilecheck.h"
#include "storage/systemerror.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qint64 pieceSize = 1 << 20;

bool writeWhole(int handle, const char* bytes, qint64 length)
{
    while (length > 0) {
        const ssize_t written = ::write(handle, bytes, size_t(length));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        length -= written;
    }
    return true;
}

// Copies the whole source to the handle; empty on success, otherwise why not.
QString copyInto(int handle, QFile& source)
{
    QByteArray piece(pieceSize, Qt::Uninitialized);
    for (qint64 length = source.read(piece.data(), pieceSize); length != 0;
         length = source.read(piece.data(), pieceSize)) {
        if (length < 0) {
            return SystemError::reason(source.errorString());
        }
        if (!writeWhole(handle, piece.constData(), length)) {
            return SystemError::reason(errno == 0 ? ENOSPC : errno);
        }
    }
    return ::fsync(handle) == 0 ? QString() : SystemError::reason(errno);
}

// The name of the copy survives a crash only once its folder is on disk too.
void syncFolder(const QString& folder)
{
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle >= 0) {
        ::fsync(handle);
        ::close(handle);
    }
}

} // namespace

namespace DamagedCopy {

Result keep(const QString& sourcePath, const QString& copyPath)
{
    QFile source;
    if (const QString why = DataFileCheck::openForReading(source, sourcePath); !why.isEmpty()) {
        return {Outcome::Failed, why};
    }
    const QByteArray copyName = QFile::encodeName(copyPath);
    const int handle = ::open(copyName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (handle < 0) {
        return errno == EEXIST ? Result{Outcome::KeptEarlier, {}} : Result{Outcome::Failed, SystemError::reason(errno)};
    }
    errno = 0;
    QString why = copyInto(handle, source);
    if (::close(handle) != 0 && why.isEmpty()) {
        why = SystemError::reason(errno);
    }
    if (!why.isEmpty()) {
        ::unlink(copyName.constData());
        return {Outcome::Failed, why};
    }
    syncFolder(QFileInfo(copyPath).absolutePath());
    return {Outcome::Copied, {}};
}

} // namespace DamagedCopy
