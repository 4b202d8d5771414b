#pragma once

#include <QProcessEnvironment>
#include <QString>

// What decides where the data files live.
struct InstallationFacts
{
    // The executable's folder, with links resolved.
    QString executableFolder;
    bool executableFolderWritable = true;
    // cnfg.tab or pswd.tab already lies beside the executable.
    bool dataFilesBesideExecutable = false;
    // Running inside a Flatpak or an AppImage, whose program folder is never the user's.
    bool sandboxed = false;
};

// Where the data files live. A portable copy keeps them beside its executable, also on its first start in an empty
// folder. An installed program (under /usr or /opt, in a Flatpak or an AppImage, or in a folder its user may not
// write to that holds no data files yet) keeps them in the user's application data folder.
class DataLocation
{
public:
    static bool isInstalled(const InstallationFacts& facts);
    static QString folderFor(const InstallationFacts& facts, const QString& applicationDataFolder);

    static InstallationFacts factsAbout(const QString& executableFolder, const QProcessEnvironment& environment,
                                        bool flatpakInfoExists);
    // The data folder of this running program; needs the application object.
    static QString ofThisProgram();

    // Makes the folder when it is missing, readable by its owner only. Returns the reason it could not, in
    // Portuguese, or nothing.
    static QString prepare(const QString& folder);
};
