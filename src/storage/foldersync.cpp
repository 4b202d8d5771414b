#include "storage/foldersync.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace FolderSync {

FileFault of(const QString& path)
{
    const QString folderPath = QFileInfo(path).absolutePath();
    const int folder = ::open(QFile::encodeName(folderPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int error = folder < 0 ? errno : 0;
    if (folder >= 0 && ::fsync(folder) != 0 && errno != EINVAL && errno != EOPNOTSUPP) {
        error = errno;
    }
    if (folder >= 0) {
        ::close(folder);
    }
    return error == 0 ? FileFault() : FileFault::at(FileFault::Kind::FolderNotSynced, folderPath, error);
}

} // namespace FolderSync
