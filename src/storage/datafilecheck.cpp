#include "storage/datafilecheck.h"
#include "storage/systemerror.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A path as the shell takes it, quoted only when it has to be, so that the command shown can be pasted.
QString shellArgument(const QString& path)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+:@%,=-]+$"));
    if (plain.match(path).hasMatch()) {
        return path;
    }
    QString quoted = path;
    return QLatin1Char('\'') + quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
}

QString userName(uid_t uid)
{
    const passwd* entry = ::getpwuid(uid);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(uid);
}

QString permissions(mode_t mode)
{
    return QString::number(mode & 07777, 8);
}

bool othersMayWrite(const struct stat& info)
{
    return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

bool lstatPath(const QString& path, struct stat& info)
{
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return QStringLiteral("uma pasta");
    }
    if (S_ISFIFO(mode)) {
        return QStringLiteral("um pipe nomeado");
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return QStringLiteral("um dispositivo");
    }
    if (S_ISSOCK(mode)) {
        return QStringLiteral("um socket");
    }
    return QStringLiteral("um arquivo especial");
}

QString notRegular(const QString& path, mode_t mode)
{
    return QStringLiteral("O arquivo %1 não é um arquivo comum, e sim %2, e não pode ser lido nem gravado.\n\n"
                          "Remova-o da pasta ou ponha em seu lugar o arquivo de dados.")
        .arg(path, kindOf(mode));
}

// What keeps a file that lstat described from being used as a data file.
QString fileRefusal(const QString& path, const struct stat& info)
{
    if (!S_ISREG(info.st_mode)) {
        return notRegular(path, info.st_mode);
    }
    if (info.st_uid != ::geteuid()) {
        return QStringLiteral("O arquivo %1 pertence a outro usuário (%2) e não será lido nem gravado.\n\n"
                              "Se ele for seu, torne-o seu com:\nsudo chown %3 %4")
            .arg(path, userName(info.st_uid), userName(::geteuid()), shellArgument(path));
    }
    if (othersMayWrite(info)) {
        return QStringLiteral("O arquivo %1 pode ser alterado por outros usuários (permissões %2).\n\n"
                              "Para protegê-lo, execute:\nchmod 600 %3")
            .arg(path, permissions(info.st_mode), shellArgument(path));
    }
    return {};
}

// A link is followed one step only, to a regular file whose folder, with every link in its path resolved, passes
// the same checks as the data folder.
DataFileCheck::Target linkTarget(const QString& link, const struct stat& linkInfo)
{
    const auto refused = [&link](const QString& target, const QString& why) {
        return DataFileCheck::Target{
            {}, QStringLiteral("O arquivo %1 é um link simbólico para %2.\n\n%3").arg(link, target, why)};
    };
    if (linkInfo.st_uid != ::geteuid()) {
        return refused(QFileInfo(link).symLinkTarget(),
                       QStringLiteral("O link pertence a outro usuário (%1) e não será seguido. Remova-o e ponha "
                                      "em seu lugar o arquivo de dados.")
                           .arg(userName(linkInfo.st_uid)));
    }
    QByteArray written(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlink(QFile::encodeName(link).constData(), written.data(), written.size());
    if (length < 0) {
        return refused(QString(), SystemError::reason(errno));
    }
    written.truncate(length);
    const QString target = QDir::cleanPath(QFileInfo(link).dir().absoluteFilePath(QFile::decodeName(written)));
    const QString folder = QFileInfo(QFileInfo(target).absolutePath()).canonicalFilePath();
    const QString resolved = QDir(folder).filePath(QFileInfo(target).fileName());
    struct stat info
    {};
    if (folder.isEmpty() || !lstatPath(resolved, info)) {
        return refused(target, QStringLiteral("Esse arquivo não existe. Remova o link ou ponha o arquivo de dados "
                                              "em seu lugar."));
    }
    if (S_ISLNK(info.st_mode)) {
        return refused(target, QStringLiteral("Esse é outro link simbólico: só um link direto para o arquivo de "
                                              "dados é seguido."));
    }
    if (!S_ISREG(info.st_mode)) {
        return refused(target, QStringLiteral("Esse não é um arquivo comum, e sim %1. Remova o link e ponha em seu "
                                              "lugar o arquivo de dados.")
                                   .arg(kindOf(info.st_mode)));
    }
    QString why = fileRefusal(resolved, info);
    if (why.isEmpty()) {
        why = DataFileCheck::folderRefusal(folder);
    }
    if (!why.isEmpty()) {
        return refused(target, why);
    }
    return {resolved, {}};
}

// What keeps a folder on the way to another from being trusted: anyone who may write to it could rename what lies
// inside and put something of their own in its place. A sticky folder such as /tmp lets each entry be renamed or
// removed by its owner only.
QString ancestorRefusal(const QString& ancestor, const QString& below)
{
    struct stat info
    {};
    if (::stat(QFile::encodeName(ancestor).constData(), &info) != 0) {
        return QStringLiteral("Não foi possível examinar a pasta %1, no caminho de %2:\n%3")
            .arg(ancestor, below, SystemError::reason(errno));
    }
    if (info.st_uid != ::geteuid() && info.st_uid != 0) {
        return QStringLiteral("A pasta %1, no caminho de %2, pertence a outro usuário (%3), que poderia trocar o que "
                              "há dentro dela.\n\nGuarde o programa e seus arquivos numa pasta sua.")
            .arg(ancestor, below, userName(info.st_uid));
    }
    if (othersMayWrite(info) && (info.st_mode & S_ISVTX) == 0) {
        return QStringLiteral(
                   "A pasta %1, no caminho de %2, pode ser alterada por outros usuários (permissões %3), que "
                   "poderiam trocar o que há dentro dela.\n\nPara protegê-la, execute:\nchmod go-w %4")
            .arg(ancestor, below, permissions(info.st_mode), shellArgument(ancestor));
    }
    return {};
}

// Every folder above the given one, up to the root.
QString chainRefusal(const QString& folder)
{
    for (QString below = folder, ancestor = QFileInfo(folder).absolutePath(); below != ancestor;
         below = ancestor, ancestor = QFileInfo(ancestor).absolutePath()) {
        if (QString why = ancestorRefusal(ancestor, folder); !why.isEmpty()) {
            return why;
        }
    }
    return {};
}

} // namespace

namespace DataFileCheck {

QString ancestorsRefusal(const QString& folder)
{
    const QString written = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString resolved = QFileInfo(written).canonicalFilePath();
    QString why = chainRefusal(written);
    if (why.isEmpty() && !resolved.isEmpty() && resolved != written) {
        why = chainRefusal(resolved);
    }
    return why;
}

QString folderRefusal(const QString& folder)
{
    struct stat info
    {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0) {
        return QStringLiteral("Não foi possível examinar a pasta de dados %1:\n%2")
            .arg(folder, SystemError::reason(errno));
    }
    if (!S_ISDIR(info.st_mode)) {
        return QStringLiteral("%1 não é uma pasta.").arg(folder);
    }
    if (info.st_uid != ::geteuid()) {
        return QStringLiteral("A pasta de dados %1 pertence a outro usuário (%2), que poderia trocar os arquivos de "
                              "senhas guardados nela.\n\nGuarde o programa e seus arquivos numa pasta sua.")
            .arg(folder, userName(info.st_uid));
    }
    if (othersMayWrite(info)) {
        return QStringLiteral("A pasta de dados %1 pode ser alterada por outros usuários (permissões %2), que "
                              "poderiam trocar os arquivos de senhas guardados nela.\n\nPara protegê-la, execute:\n"
                              "chmod 700 %3")
            .arg(folder, permissions(info.st_mode), shellArgument(folder));
    }
    return ancestorsRefusal(folder);
}

Target dataFile(const QString& folder, const QString& name)
{
    const QString path = QDir(folder).filePath(name);
    if (QString why = folderRefusal(folder); !why.isEmpty()) {
        return {path, why};
    }
    struct stat info
    {};
    if (!lstatPath(path, info)) {
        if (errno == ENOENT) {
            return {path, {}};
        }
        return {path,
                QStringLiteral("Não foi possível examinar o arquivo %1:\n%2").arg(path, SystemError::reason(errno))};
    }
    if (S_ISLNK(info.st_mode)) {
        return linkTarget(path, info);
    }
    return {path, fileRefusal(path, info)};
}

QString openForReading(QFile& file, const QString& path)
{
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0) {
        return SystemError::reason(errno);
    }
    struct stat info
    {};
    if (::fstat(handle, &info) != 0) {
        const int error = errno;
        ::close(handle);
        return SystemError::reason(error);
    }
    // What was opened, not what the name led to when it was checked.
    if (QString why = fileRefusal(path, info); !why.isEmpty()) {
        ::close(handle);
        return why;
    }
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return SystemError::reason(file.errorString());
    }
    return {};
}

} // namespace DataFileCheck
