#include "app/datalocation.h"

#include "storage/settingsfile.h"
#include "storage/vaultfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool liesUnder(const QString& folder, const QString& root)
{
    return folder == root || folder.startsWith(root + QLatin1Char('/'));
}

bool isSystemFolder(const QString& folder)
{
    return liesUnder(folder, QStringLiteral("/usr")) || liesUnder(folder, QStringLiteral("/opt"));
}

} // namespace

bool DataLocation::isInstalled(const InstallationFacts& facts)
{
    if (facts.sandboxed || isSystemFolder(facts.executableFolder)) {
        return true;
    }
    // Files already beside a folder that became read-only stay where they are: the user's entries are there.
    return !facts.executableFolderWritable && !facts.dataFilesBesideExecutable;
}

QString DataLocation::folderFor(const InstallationFacts& facts, const QString& applicationDataFolder)
{
    return isInstalled(facts) ? applicationDataFolder : facts.executableFolder;
}

InstallationFacts DataLocation::factsAbout(const QString& executableFolder, const QProcessEnvironment& environment,
                                           bool flatpakInfoExists)
{
    const QFileInfo folder(executableFolder);
    const QDir dir(executableFolder);
    InstallationFacts facts;
    facts.executableFolder = folder.canonicalFilePath().isEmpty() ? executableFolder : folder.canonicalFilePath();
    facts.executableFolderWritable = folder.isWritable();
    facts.dataFilesBesideExecutable = QFileInfo::exists(dir.filePath(QLatin1String(SettingsFile::fileName))) ||
                                      QFileInfo::exists(dir.filePath(QLatin1String(VaultFile::fileName)));
    facts.sandboxed = flatpakInfoExists || !environment.value(QStringLiteral("FLATPAK_ID")).isEmpty() ||
                      !environment.value(QStringLiteral("APPIMAGE")).isEmpty();
    return facts;
}

QString DataLocation::ofThisProgram()
{
    const InstallationFacts facts =
        factsAbout(QCoreApplication::applicationDirPath(), QProcessEnvironment::systemEnvironment(),
                   QFileInfo::exists(QStringLiteral("/.flatpak-info")));
    return folderFor(facts, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString DataLocation::prepare(const QString& folder)
{
    if (QFileInfo(folder).isDir()) {
        return {};
    }
    const QString parent = QFileInfo(folder).absolutePath();
    if (!QDir().mkpath(parent) || !QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        return QStringLiteral("Não foi possível criar a pasta de dados %1.\nVerifique se a pasta %2 permite gravação.")
            .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(parent));
    }
    return {};
}
