#include "storage/leftoverfiles.h"

#include "storage/temporaryfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool modifiedBefore(const struct stat& a, const struct stat& b)
{
    return a.st_mtim.tv_sec < b.st_mtim.tv_sec ||
           (a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec < b.st_mtim.tv_nsec);
}

} // namespace

namespace LeftoverFiles {

void remove(const QString& path)
{
    const QFileInfo target(path);
    struct stat saved;
    if (::lstat(QFile::encodeName(path).constData(), &saved) != 0) {
        return;
    }
    const QDir folder = target.absoluteDir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!TemporaryFile::isTemporaryName(name, target.fileName())) {
            continue;
        }
        const QByteArray leftover = QFile::encodeName(folder.filePath(name));
        struct stat status;
        if (::lstat(leftover.constData(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
            (status.st_mode & (S_IRWXG | S_IRWXO)) == 0 && modifiedBefore(status, saved) &&
            (status.st_size == 0 || TemporaryFile::isMarked(leftover))) {
            ::unlink(leftover.constData());
        }
    }
}

} // namespace LeftoverFiles
