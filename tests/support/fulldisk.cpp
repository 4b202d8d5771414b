#include "support/fulldisk.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

FullDisk::FullDisk()
{
    if (::geteuid() != 0) {
        m_skipReason = QStringLiteral("mounting a tmpfs needs root");
    } else if (::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", 0, "size=256k,mode=0700") != 0) {
        m_skipReason = QStringLiteral("tmpfs cannot be mounted here: %1").arg(QString::fromLocal8Bit(strerror(errno)));
    }
}

FullDisk::~FullDisk()
{
    if (m_skipReason.isEmpty()) {
        ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
    }
}

QString FullDisk::fillerPath() const
{
    return m_mountPoint.filePath(QStringLiteral("filler"));
}

void FullDisk::fill()
{
    const int filler = ::open(QFile::encodeName(fillerPath()).constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    const QByteArray block(4096, 'f');
    for (qsizetype size = block.size(); size > 0; size /= 2) {
        while (::write(filler, block.constData(), size_t(size)) == size) {
        }
    }
    ::close(filler);
}

void FullDisk::free()
{
    QFile::remove(fillerPath());
}
