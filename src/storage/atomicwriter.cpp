#include "storage/atomicwriter.h"

#include "storage/filereplacement.h"
#include "storage/foldersync.h"
#include "storage/temporaryfile.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A file that appeared at the target meanwhile (a second copy of the program) is kept and the rename fails; a file
// system that cannot refuse to replace has been checked for the target just before.
bool renameWithoutReplacing(const QByteArray& from, const QByteArray& to)
{
    const int renamed = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (renamed == 0 || (errno != EINVAL && errno != ENOSYS)) {
        return renamed == 0;
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
    m_descriptor = TemporaryFile::create(m_path, m_temporaryPath);
    return m_descriptor >= 0 || fail(errno);
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

bool AtomicWriter::commit(Commit how, const std::optional<FileStamp>& expected)
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
    if (how == Commit::CreateNew) {
        return createTarget();
    }
    FileReplacement replacement(m_temporaryPath, m_path);
    m_temporaryPath.clear(); // the replacement removes it
    switch (replacement.replace(expected, how == Commit::ReplaceKeepingBackup)) {
    case FileReplacement::Outcome::Replaced:
        restampInPlace();
        return true;
    case FileReplacement::Outcome::ChangedOutside:
        m_foundOutsideChange = true;
        return fail(FileFault{FileFault::Kind::ChangedWhileWriting});
    case FileReplacement::Outcome::Failed:
        break;
    }
    return fail(replacement.failure());
}

bool AtomicWriter::createTarget()
{
    if (!renameWithoutReplacing(m_temporaryPath, QFile::encodeName(m_path))) {
        return fail(errno);
    }
    m_temporaryPath.clear();
    // A file whose name may not survive is taken back: nothing was created.
    const FileFault reason = FolderSync::of(m_path);
    if (!reason.isNone()) {
        ::unlink(QFile::encodeName(m_path).constData());
        return fail(reason);
    }
    restampInPlace();
    return true;
}

// Putting the file in place changed its status time; the stamp takes the new one only from the file written, so
// that a file another program put there since is still told apart.
void AtomicWriter::restampInPlace()
{
    if (const FileStamp inPlace = FileStamp::ofPath(m_path); inPlace.sameBesidesStatusChange(m_stamp)) {
        m_stamp = inPlace;
    }
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
    return fail(FileFault::system(errorNumber));
}

bool AtomicWriter::fail(const FileFault& reason)
{
    if (m_failure.isNone()) {
        m_failure = reason;
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

FileFault AtomicWriter::write(const QString& path, QByteArrayView bytes, Commit how)
{
    AtomicWriter writer(path);
    if (writer.open() && writer.append(bytes)) {
        writer.commit(how);
    }
    return writer.failure();
}
