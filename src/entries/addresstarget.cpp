#include "entries/addresstarget.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QUrl fileUrl(const QString& path)
{
    return QUrl::fromLocalFile(QDir::cleanPath(path));
}

} // namespace

AddressTarget::AddressTarget(const QString& dataFolder, const QString& homeFolder)
    : m_dataFolder(dataFolder), m_homeFolder(homeFolder)
{}

QUrl AddressTarget::urlFor(const QString& address) const
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty()) {
        return {};
    }
    if (hasScheme(trimmed)) {
        return QUrl(trimmed, QUrl::TolerantMode);
    }
    // A path from the home folder or from the root can only mean a file, found or not: the system then says so when
    // it is missing.
    if (trimmed == QLatin1String("~") || trimmed.startsWith(QLatin1String("~/"))) {
        return fileUrl(m_homeFolder + trimmed.mid(1));
    }
    if (!QDir::isRelativePath(trimmed)) {
        return fileUrl(trimmed);
    }
    const QString besideVault = QDir(m_dataFolder).filePath(trimmed);
    if (QFileInfo::exists(besideVault)) {
        return fileUrl(besideVault);
    }
    return QUrl::fromUserInput(trimmed);
}

bool AddressTarget::hasScheme(const QString& address)
{
    // A scheme is a letter and then letters, digits, "+", "-" or "."; a colon followed by a digit is a port
    // ("localhost:8080"), not the end of a scheme.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?![0-9])"));
    return scheme.match(address).hasMatch();
}
