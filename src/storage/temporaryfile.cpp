#include "storage/temporaryfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

constexpr char infix[] = ".keyhound-";
constexpr int suffixLength = 6; // as mkstemp makes them
constexpr char markName[] = "user.keyhound.temporary";

bool isSuffixCharacter(QChar c)
{
    return c.unicode() < 0x80 && c.isLetterOrNumber();
}

// The mark holds the number of the file it was set on: it stays with the file through renames and under a second
// name, and a copy that takes the attribute along does not match it.
QByteArray markFor(const struct stat& status)
{
    return QByteArray::number(quint64(status.st_ino));
}

} // namespace

namespace TemporaryFile {

int create(const QString& target, QByteArray& path)
{
    path = QFile::encodeName(target) + infix + QByteArray(suffixLength, 'X');
    const int descriptor = ::mkostemp(path.data(), O_CLOEXEC);
    if (descriptor < 0) {
        const int error = errno;
        path.clear();
        errno = error;
        return -1;
    }
    if (::fchmod(descriptor, S_IRUSR | S_IWUSR) != 0) {
        const int error = errno;
        ::close(descriptor);
        ::unlink(path.constData());
        path.clear();
        errno = error;
        return -1;
    }
    struct stat status;
    if (::fstat(descriptor, &status) == 0) { // no mark where the system keeps none
        const QByteArray value = markFor(status);
        ::fsetxattr(descriptor, markName, value.constData(), size_t(value.size()), 0);
    }
    return descriptor;
}

bool isMarked(const QByteArray& path)
{
    struct stat status;
    if (::lstat(path.constData(), &status) != 0) {
        return false;
    }
    const QByteArray expected = markFor(status);
    QByteArray value(expected.size() + 1, Qt::Uninitialized);
    const ssize_t length = ::lgetxattr(path.constData(), markName, value.data(), size_t(value.size()));
    return length == expected.size() && value.first(length) == expected;
}

bool isTemporaryName(const QString& name, const QString& targetName)
{
    const QString prefix = targetName + QLatin1String(infix);
    return name.size() == prefix.size() + suffixLength && name.startsWith(prefix) &&
           std::all_of(name.begin() + prefix.size(), name.end(), isSuffixCharacter);
}

QByteArray unusedPath(const QString& target)
{
    static constexpr char characters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray candidate;
    struct stat status;
    do {
        candidate = QFile::encodeName(target) + infix;
        for (int i = 0; i < suffixLength; ++i) {
            candidate += characters[QRandomGenerator::global()->bounded(int(sizeof characters - 1))];
        }
    } while (::lstat(candidate.constData(), &status) == 0);
    return candidate;
}

} // namespace TemporaryFile
