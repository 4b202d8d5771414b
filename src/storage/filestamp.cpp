#include "storage/filestamp.h"

#include <QFile>

#include <sys/stat.h>

namespace {

FileStamp stampOf(const struct stat& status)
{
    return {status.st_dev, status.st_ino, status.st_size,
            qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
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
