#include "storage/datafilecheck.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Kind = FileFault::Kind;

QString userName(uid_t uid)
{
    const passwd* entry = ::getpwuid(uid);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(uid);
}

bool othersMayWrite(const struct stat& info)
{
    return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

bool lstatPath(const QString& path, struct stat& info)
{
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

FileFault::Type typeOf(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return FileFault::Type::Folder;
    }
    if (S_ISFIFO(mode)) {
        return FileFault::Type::Pipe;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return FileFault::Type::Device;
    }
    if (S_ISSOCK(mode)) {
        return FileFault::Type::Socket;
    }
    return FileFault::Type::Special;
}

// The fault of a file or folder that stat described: its owner, its permissions and its type.
FileFault described(Kind kind, const QString& path, const struct stat& info)
{
    FileFault fault = FileFault::at(kind, path);
    fault.owner = userName(info.st_uid);
    fault.user = userName(::geteuid());
    fault.permissions = info.st_mode & 07777;
    fault.type = typeOf(info.st_mode);
    return fault;
}

// What keeps a file that lstat described from being used as a data file.
FileFault fileRefusal(const QString& path, const struct stat& info)
{
    if (!S_ISREG(info.st_mode)) {
        return described(Kind::NotRegular, path, info);
    }
    if (info.st_uid != ::geteuid()) {
        return described(Kind::FileOfOtherUser, path, info);
    }
    if (othersMayWrite(info)) {
        return described(Kind::FileOpenToOthers, path, info);
    }
    return {};
}

FileFault throughLink(FileFault fault, const QString& link, const QString& target)
{
    fault.link = link;
    fault.linkTarget = target;
    return fault;
}

// A link is followed one step only, to a regular file whose folder, with every link in its path resolved, passes
// the same checks as the data folder.
DataFileCheck::Target linkTarget(const QString& link, const struct stat& linkInfo)
{
    const auto refused = [&link](const QString& target, const FileFault& why) {
        return DataFileCheck::Target{{}, throughLink(why, link, target)};
    };
    if (linkInfo.st_uid != ::geteuid()) {
        return refused(QFileInfo(link).symLinkTarget(), described(Kind::LinkOfOtherUser, link, linkInfo));
    }
    QByteArray written(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlink(QFile::encodeName(link).constData(), written.data(), written.size());
    if (length < 0) {
        return refused(QString(), FileFault::at(Kind::LinkUnreadable, link, errno));
    }
    written.truncate(length);
    const QString target = QDir::cleanPath(QFileInfo(link).dir().absoluteFilePath(QFile::decodeName(written)));
    const QString folder = QFileInfo(QFileInfo(target).absolutePath()).canonicalFilePath();
    const QString resolved = QDir(folder).filePath(QFileInfo(target).fileName());
    struct stat info
    {};
    if (folder.isEmpty() || !lstatPath(resolved, info)) {
        return refused(target, FileFault::at(Kind::LinkTargetMissing, target));
    }
    if (S_ISLNK(info.st_mode)) {
        return refused(target, FileFault::at(Kind::LinkToLink, target));
    }
    if (!S_ISREG(info.st_mode)) {
        return refused(target, described(Kind::LinkToOtherType, target, info));
    }
    FileFault why = fileRefusal(resolved, info);
    if (why.isNone()) {
        why = DataFileCheck::folderRefusal(folder);
    }
    if (!why.isNone()) {
        return refused(target, why);
    }
    return {resolved, {}};
}

// What keeps a folder on the way to another from being trusted: anyone who may write to it could rename what lies
// inside and put something of their own in its place. A sticky folder such as /tmp lets each entry be renamed or
// removed by its owner only.
FileFault ancestorRefusal(const QString& ancestor, const QString& below)
{
    struct stat info
    {};
    FileFault fault;
    if (::stat(QFile::encodeName(ancestor).constData(), &info) != 0) {
        fault = FileFault::at(Kind::AncestorUnexamined, ancestor, errno);
    } else if (info.st_uid != ::geteuid() && info.st_uid != 0) {
        fault = described(Kind::AncestorOfOtherUser, ancestor, info);
    } else if (othersMayWrite(info) && (info.st_mode & S_ISVTX) == 0) {
        fault = described(Kind::AncestorOpenToOthers, ancestor, info);
    }
    fault.below = below;
    return fault;
}

// Every folder above the given one, up to the root.
FileFault chainRefusal(const QString& folder)
{
    for (QString below = folder, ancestor = QFileInfo(folder).absolutePath(); below != ancestor;
         below = ancestor, ancestor = QFileInfo(ancestor).absolutePath()) {
        if (FileFault why = ancestorRefusal(ancestor, folder); !why.isNone()) {
            return why;
        }
    }
    return {};
}

} // namespace

namespace DataFileCheck {

FileFault ancestorsRefusal(const QString& folder)
{
    const QString written = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString resolved = QFileInfo(written).canonicalFilePath();
    FileFault why = chainRefusal(written);
    if (why.isNone() && !resolved.isEmpty() && resolved != written) {
        why = chainRefusal(resolved);
    }
    return why;
}

FileFault folderRefusal(const QString& folder)
{
    struct stat info
    {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0) {
        return FileFault::at(Kind::FolderUnexamined, folder, errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return described(Kind::NotAFolder, folder, info);
    }
    if (info.st_uid != ::geteuid()) {
        return described(Kind::FolderOfOtherUser, folder, info);
    }
    if (othersMayWrite(info)) {
        return described(Kind::FolderOpenToOthers, folder, info);
    }
    return ancestorsRefusal(folder);
}

Target dataFile(const QString& folder, const QString& name)
{
    const QString path = QDir(folder).filePath(name);
    if (FileFault why = folderRefusal(folder); !why.isNone()) {
        return {path, why};
    }
    struct stat info
    {};
    if (!lstatPath(path, info)) {
        if (errno == ENOENT) {
            return {path, {}};
        }
        return {path, FileFault::at(Kind::FileUnexamined, path, errno)};
    }
    if (S_ISLNK(info.st_mode)) {
        return linkTarget(path, info);
    }
    return {path, fileRefusal(path, info)};
}

FileFault openForReading(QFile& file, const QString& path)
{
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0) {
        return FileFault::system(errno);
    }
    struct stat info
    {};
    if (::fstat(handle, &info) != 0) {
        const int error = errno;
        ::close(handle);
        return FileFault::system(error);
    }
    // What was opened, not what the name led to when it was checked.
    if (FileFault why = fileRefusal(path, info); !why.isNone()) {
        ::close(handle);
        return why;
    }
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return FileFault::ofQt(file.errorString());
    }
    return {};
}

} // namespace DataFileCheck
