#include "app/datafolderlock.h"

#include "wording/faultwording.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A holder that ends removes the file while it still holds its lock; a start that opened the file just before may
// then lock a removed file, and tries again on the one now in the folder.
constexpr int attempts = 8;

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// For whoever looks into the file. Nothing depends on it: a copy that cannot write it still holds the lock.
void recordHolder(int handle)
{
    const QByteArray pid = QByteArray::number(::getpid()) + '\n';
    if (::ftruncate(handle, 0) == 0 && ::pwrite(handle, pid.constData(), size_t(pid.size()), 0) == pid.size()) {
        ::fdatasync(handle);
    }
}

} // namespace

DataFolderLock::DataFolderLock(const QString& dataFolder) : m_path(QDir(dataFolder).filePath(QLatin1String(fileName)))
{}

DataFolderLock::~DataFolderLock()
{
    if (m_handle < 0) {
        return;
    }
    // A file-sync program may have put another computer's lock file in its place meanwhile: that one is left.
    const QByteArray path = QFile::encodeName(m_path);
    struct stat held
    {};
    struct stat named
    {};
    if (::fstat(m_handle, &held) == 0 && ::stat(path.constData(), &named) == 0 && sameFile(held, named)) {
        ::unlink(path.constData());
    }
    ::close(m_handle);
}

DataFolderLock::Outcome DataFolderLock::take()
{
    const QByteArray path = QFile::encodeName(m_path);
    for (int attempt = 0; attempt < attempts; ++attempt) {
        // Never inherited by a program started from here, which would otherwise keep the folder locked after us.
        int handle = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        // A lock file that cannot be written, brought read-only from another computer by a file-sync program, still
        // takes the lock: flock needs no write access.
        if (handle < 0 && errno == EACCES) {
            handle = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        }
        if (handle < 0) {
            m_failure = FaultWording::systemReason(errno);
            return Outcome::Unavailable;
        }
        struct stat opened
        {};
        if (::fstat(handle, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(handle);
            m_failure = QStringLiteral("Ele não é um arquivo comum.");
            return Outcome::Unavailable;
        }
        if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(handle);
            if (error == EWOULDBLOCK) {
                return Outcome::HeldByAnotherCopy;
            }
            m_failure = FaultWording::systemReason(error);
            return Outcome::Unavailable;
        }
        struct stat named
        {};
        if (::stat(path.constData(), &named) == 0 && sameFile(opened, named)) {
            recordHolder(handle);
            m_handle = handle;
            return Outcome::Taken;
        }
        ::close(handle);
    }
    m_failure = QStringLiteral("Ele é removido e criado de novo sem parar.");
    return Outcome::Unavailable;
}

QString DataFolderLock::failureMessage() const
{
    return QStringLiteral("Não foi possível criar o arquivo %1, que impede que duas cópias do programa alterem os "
                          "mesmos dados:\n%2")
        .arg(QDir::toNativeSeparators(m_path), m_failure);
}

qint64 DataFolderLock::holderOf(const QString& dataFolder)
{
    QFile file(QDir(dataFolder).filePath(QLatin1String(fileName)));
    return file.open(QIODevice::ReadOnly) ? file.readLine(32).trimmed().toLongLong() : 0;
}
