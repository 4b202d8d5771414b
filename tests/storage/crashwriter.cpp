// Rewrites a data file in a loop until it is killed, through the same Vault calls the windows use.
// Usage: keyhound_crashwriter FOLDER entries|settings
#include "crashrecords.h"
#include "storage/vault.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    Vault vault(arguments.value(1));
    if (arguments.size() != 3 || !vault.open().ok()) {
        return 2;
    }
    const bool settings = arguments.at(2) == QLatin1String("settings");
    for (;;) {
        const int next =
            settings ? vault.settings().masterPassword.mid(6).toInt() + 1 : int(vault.entries().size()) + 1;
        if (next > 2000) {
            return 0;
        }
        const StorageResult result = settings ? vault.saveSettings(CrashRecords::password(next), next % 2 == 1)
                                              : vault.addEntry(CrashRecords::entry(next));
        if (!result.ok()) {
            return 4;
        }
        // One line per finished write, so that the test knows the writer is past its start.
        std::fputs(".\n", stdout);
        std::fflush(stdout);
    }
}
