#pragma once

#include <QString>

class KdbxFormat;

// The KeePass module, loaded the first time a KeePass job runs and never at start. It is looked for beside the
// executable, as a portable copy keeps it, then in the installed program's own library folder; both are found from
// the executable's real path, never from the current folder or the environment. A module that someone but the user
// or root could have changed, or in a folder they could change, is not loaded.
class KdbxModuleLoader
{
public:
    struct Loaded
    {
        // Null when there is no module to use.
        const KdbxFormat* format = nullptr;
        // Why not, in Portuguese: paragraphs for the terminal.
        QString problem;
    };

    // The first call loads the module from the first place that holds one; later calls return the same.
    static const Loaded& load();
};
