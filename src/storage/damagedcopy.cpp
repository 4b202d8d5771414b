#include "storage/damagedcopy.h"

#include "storage/datafilecheck.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
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

// Copies the whole source, from its start, to the handle; none on success, otherwise why not.
FileFault copyInto(int handle, QFile& source)
{
    if (!source.seek(0)) {
        return FileFault::ofQt(source.errorString());
    }
    QByteArray piece(pieceSize, Qt::Uninitialized);
    for (qint64 length = source.read(piece.data(), pieceSize); length != 0;
         length = source.read(piece.data(), pieceSize)) {
        if (length < 0) {
            return FileFault::ofQt(source.errorString());
        }
        if (!writeWhole(handle, piece.constData(), length)) {
            return FileFault::system(errno == 0 ? ENOSPC : errno);
        }
    }
    return ::fsync(handle) == 0 ? FileFault() : FileFault::system(errno);
}

// Whether the regular file at the path, not a link, holds exactly the bytes of the source.
bool holdsSameBytes(const QString& path, QFile& source)
{
    QFile copy;
    if (!DataFileCheck::openForReading(copy, path).isNone() || copy.size() != source.size() || !source.seek(0)) {
        return false;
    }
    QByteArray ours(pieceSize, Qt::Uninitialized);
    QByteArray theirs(pieceSize, Qt::Uninitialized);
    for (;;) {
        const qint64 length = source.read(ours.data(), pieceSize);
        if (length <= 0) {
            return length == 0 && copy.read(theirs.data(), 1) == 0;
        }
        if (copy.read(theirs.data(), length) != length || std::memcmp(ours.constData(), theirs.constData(), length)) {
            return false;
        }
    }
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

DamagedCopy::Result copyTo(int handle, const QString& path, QFile& source)
{
    errno = 0;
    FileFault why = copyInto(handle, source);
    if (::close(handle) != 0 && why.isNone()) {
        why = FileFault::system(errno);
    }
    if (!why.isNone()) {
        ::unlink(QFile::encodeName(path).constData());
        return {DamagedCopy::Outcome::Failed, path, why};
    }
    syncFolder(QFileInfo(path).absolutePath());
    return {DamagedCopy::Outcome::Copied, path, {}};
}

} // namespace

namespace DamagedCopy {

QString numberedPath(const QString& firstPath, int number)
{
    return number == 1 ? firstPath : firstPath + QStringLiteral(".%1").arg(number);
}

Result keep(QFile& source, const QString& firstCopyPath)
{
    for (int number = 1; number <= lastNumber; ++number) {
        const QString path = numberedPath(firstCopyPath, number);
        const int handle =
            ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (handle >= 0) {
            return copyTo(handle, path, source);
        }
        if (errno != EEXIST) {
            return {Outcome::Failed, path, FileFault::system(errno)};
        }
        if (holdsSameBytes(path, source)) {
            return {Outcome::KeptEarlier, path, {}};
        }
    }
    return {Outcome::Failed, numberedPath(firstCopyPath, lastNumber + 1),
            FileFault{FileFault::Kind::NoFreeDamagedCopy}};
}

} // namespace DamagedCopy
