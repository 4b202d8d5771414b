#include "storage/filestamp.h"

#include <QFile>

#include <sys/stat.h>

namespace {

qint64 nanoseconds(const struct timespec& time)
{
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

FileStamp stampOf(const struct stat& status)
{
    return {status.st_dev, status.st_ino, status.st_size, nanoseconds(status.st_mtim), nanoseconds(status.st_ctim)};
}

} // namespace

FileStamp FileStamp::ofDescriptor(int descriptor)
{
    struct stat status;
    return fstat(descriptor, &status) == 0 ? stampOf(status) : FileStamp{};
}

FileStamp FileStamp::ofPath(const QString& path)
{
    struct stat status;
    return stat(QFile::encodeName(path).constData(), &status) == 0 ? stampOf(status) : FileStamp{};
}

bool FileStamp::sameBesidesStatusChange(const FileStamp& other) const
{
    return device == other.device && inode == other.inode && size == other.size && modifiedNs == other.modifiedNs;
}
