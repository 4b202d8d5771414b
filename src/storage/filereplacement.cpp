#include "storage/filereplacement.h"

#include "storage/backupfile.h"
#include "storage/foldersync.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

bool exchange(const QByteArray& a, const QByteArray& b)
{
    return ::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_EXCHANGE) == 0;
}

bool moveWithoutReplacing(const QByteArray& from, const QByteArray& to)
{
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0;
}

bool isExchangeRefused(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// The file at path, told apart from any other by its device and inode; {0, 0} when there is none.
std::pair<dev_t, ino_t> identity(const QByteArray& path)
{
    struct stat status;
    return ::lstat(path.constData(), &status) == 0 ? std::pair{status.st_dev, status.st_ino}
                                                   : std::pair<dev_t, ino_t>{};
}

} // namespace

FileReplacement::FileReplacement(const QByteArray& temporaryPath, const QString& target)
    : m_temporary(temporaryPath), m_target(target), m_targetPath(QFile::encodeName(target)),
      m_backupPath(QFile::encodeName(BackupFile::pathOf(target)))
{}

FileReplacement::Outcome FileReplacement::replace(const std::optional<FileStamp>& expected, bool keepBackup)
{
    if (keepBackup && BackupFile::isBlocked(m_target)) {
        return fail(BackupFile::notKept(m_target, EISDIR));
    }
    m_written = identity(m_temporary);
    if (exchange(m_temporary, m_targetPath)) {
        return afterExchange(expected, keepBackup);
    }
    const int error = errno;
    if (error == ENOENT && expected) { // the file last read is gone
        ::unlink(m_temporary.constData());
        return Outcome::ChangedOutside;
    }
    if (error == ENOENT || isExchangeRefused(error)) {
        return byRename(expected, keepBackup);
    }
    return fail(FileFault::system(error));
}

FileReplacement::Outcome FileReplacement::afterExchange(const std::optional<FileStamp>& expected, bool keepBackup)
{
    // The exchange itself set the displaced file's status time.
    if (expected && !FileStamp::ofPath(QFile::decodeName(m_temporary)).sameBesidesStatusChange(*expected)) {
        if (!exchange(m_temporary, m_targetPath)) {
            const QString kept = QFile::decodeName(m_temporary);
            m_temporary.clear(); // holds the other program's file: kept for the user
            return fail(FileFault::at(FileFault::Kind::ReplacedWhileWriting, kept, errno));
        }
        // Another program may have replaced the file once more between the two exchanges: what came back under the
        // temporary name is then its file, put in place again; the file it replaced stays for the user to see.
        if (identity(m_temporary) != m_written && exchange(m_temporary, m_targetPath)) {
            m_temporary.clear();
            return Outcome::ChangedOutside;
        }
        ::unlink(m_temporary.constData());
        return Outcome::ChangedOutside;
    }
    // From here the displaced file is the one expected, under the temporary name.
    bool backupExchanged = false;
    if (keepBackup && !exchangeIntoBackup(backupExchanged)) {
        const FileFault reason = BackupFile::notKept(m_target, errno);
        exchange(m_temporary, m_targetPath);
        return fail(reason);
    }
    if (const FileFault reason = FolderSync::of(m_target); !reason.isNone()) {
        if (keepBackup) {
            backupExchanged ? exchange(m_temporary, m_backupPath)
                            : ::rename(m_backupPath.constData(), m_temporary.constData()) == 0;
        }
        exchange(m_temporary, m_targetPath);
        return fail(reason);
    }
    if (!keepBackup || backupExchanged) {
        ::unlink(m_temporary.constData()); // the file displaced, or the backup before
    }
    m_temporary.clear();
    return Outcome::Replaced;
}

// Swaps the displaced file with the backup, whose file the temporary name then holds, or moves it there when there
// is no backup yet.
bool FileReplacement::exchangeIntoBackup(bool& exchanged)
{
    // The backup is for its owner only, whatever the file allowed.
    exchanged = false;
    if (::chmod(m_temporary.constData(), S_IRUSR | S_IWUSR) != 0) {
        return false;
    }
    exchanged = exchange(m_temporary, m_backupPath);
    return exchanged || (errno == ENOENT && moveWithoutReplacing(m_temporary, m_backupPath));
}

FileReplacement::Outcome FileReplacement::byRename(const std::optional<FileStamp>& expected, bool keepBackup)
{
    if (expected && FileStamp::ofPath(m_target) != *expected) {
        ::unlink(m_temporary.constData());
        return Outcome::ChangedOutside;
    }
    QByteArray previous;
    if (keepBackup) {
        if (const FileFault reason = BackupFile::prepare(m_target, previous); !reason.isNone()) {
            return fail(reason);
        }
    }
    if (::rename(m_temporary.constData(), m_targetPath.constData()) != 0) {
        const int error = errno;
        if (!previous.isEmpty()) {
            ::unlink(previous.constData());
        }
        return fail(FileFault::system(error));
    }
    m_temporary.clear();
    if (!previous.isEmpty() && ::rename(previous.constData(), m_backupPath.constData()) != 0) {
        const FileFault reason = BackupFile::notKept(m_target, errno);
        ::rename(previous.constData(), m_targetPath.constData()); // the file before comes back
        return fail(reason);
    }
    const FileFault reason = FolderSync::of(m_target);
    return reason.isNone() ? Outcome::Replaced : fail(reason);
}

FileReplacement::Outcome FileReplacement::fail(const FileFault& reason)
{
    m_failure = reason;
    if (!m_temporary.isEmpty()) {
        ::unlink(m_temporary.constData());
        m_temporary.clear();
    }
    return Outcome::Failed;
}
