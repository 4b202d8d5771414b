#include "storage/atomicwriter.h"

#include "storage/backupfile.h"
#include "storage/systemerror.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int suffixLength = 6; // as mkstemp makes them

bool isSuffixCharacter(QChar c)
{
    return c.unicode() < 0x80 && c.isLetterOrNumber();
}

// Renames and creations in the folder are made durable; a folder that cannot be synced (some file systems refuse)
// leaves them to the system, as every program does.
void syncFolderOf(const QString& path)
{
    const int folder =
        ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

// Without replacing, a file that appeared at the target meanwhile (a second copy of the program) is kept and the
// rename fails; a file system that cannot refuse to replace has been checked for the target just before.
bool renameOver(const QByteArray& from, const QByteArray& to, bool withoutReplacing)
{
    if (withoutReplacing) {
        const int renamed = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
        if (renamed == 0 || (errno != EINVAL && errno != ENOSYS)) {
            return renamed == 0;
        }
    }
    return ::rename(from.constData(), to.constData()) == 0;
}

} // namespace

AtomicWriter::AtomicWriter(const QString& path) : m_path(path) {}

AtomicWriter::~AtomicWriter()
{
    cancel();
}

bool AtomicWriter::open()
{
    m_temporaryPath = QFile::encodeName(m_path) + '.' + QByteArray(suffixLength, 'X');
    m_descriptor = ::mkostemp(m_temporaryPath.data(), O_CLOEXEC);
    if (m_descriptor < 0) {
        const int error = errno;
        m_temporaryPath.clear();
        return fail(error);
    }
    if (::fchmod(m_descriptor, S_IRUSR | S_IWUSR) != 0) {
        return fail(errno);
    }
    return true;
}

bool AtomicWriter::append(QByteArrayView bytes)
{
    if (m_descriptor < 0) {
        return false;
    }
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t now = ::write(m_descriptor, bytes.data() + written, size_t(bytes.size() - written));
        if (now < 0 && errno != EINTR) {
            return fail(errno);
        }
        written += qMax<ssize_t>(now, 0);
    }
    return true;
}

bool AtomicWriter::commit(Commit how)
{
    if (m_descriptor < 0) {
        return false;
    }
    if (::fdatasync(m_descriptor) != 0) {
        return fail(errno);
    }
    m_stamp = FileStamp::ofDescriptor(m_descriptor);
    const int descriptor = m_descriptor;
    m_descriptor = -1;
    if (::close(descriptor) != 0) {
        return fail(errno);
    }
    if (how == Commit::ReplaceKeepingBackup) {
        const QString reason = BackupFile::keep(m_path);
        if (!reason.isEmpty()) {
            m_failure = reason;
            cancel();
            return false;
        }
    }
    const QByteArray target = QFile::encodeName(m_path);
    if (!renameOver(m_temporaryPath, target, how == Commit::CreateNew)) {
        return fail(errno);
    }
    m_temporaryPath.clear();
    syncFolderOf(m_path);
    return true;
}

void AtomicWriter::cancel()
{
    closeFile();
    if (!m_temporaryPath.isEmpty()) {
        ::unlink(m_temporaryPath.constData());
        m_temporaryPath.clear();
    }
}

bool AtomicWriter::fail(int errorNumber)
{
    if (m_failure.isEmpty()) {
        m_failure = SystemError::reason(errorNumber);
    }
    cancel();
    return false;
}

void AtomicWriter::closeFile()
{
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
        m_descriptor = -1;
    }
}

QString AtomicWriter::write(const QString& path, QByteArrayView bytes, Commit how, FileStamp* stamp)
{
    AtomicWriter writer(path);
    if (writer.open() && writer.append(bytes) && writer.commit(how) && stamp) {
        *stamp = writer.stamp();
    }
    return writer.failure();
}

bool AtomicWriter::isTemporaryName(const QString& name, const QString& targetName)
{
    const qsizetype prefix = targetName.size() + 1;
    return name.size() == prefix + suffixLength && name.startsWith(targetName + QLatin1Char('.')) &&
           std::all_of(name.begin() + prefix, name.end(), isSuffixCharacter);
}

QString AtomicWriter::unusedTemporaryPath(const QString& path)
{
    static constexpr char characters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString candidate;
    do {
        candidate = path + QLatin1Char('.');
        for (int i = 0; i < suffixLength; ++i) {
            candidate += QLatin1Char(characters[QRandomGenerator::global()->bounded(int(sizeof characters - 1))]);
        }
    } while (QFileInfo(candidate).exists() || QFileInfo(candidate).isSymLink());
    return candidate;
}
