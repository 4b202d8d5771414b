// Rewrites a data file in a loop until it is killed, through the same Vault calls the windows use.
// Usage: keyhound_crashwriter FOLDER entries|settings
#include "crashrecords.h"
#include "storage/vault.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

constexpr int entryLimit = 2000;

int numberOfPassword(const QByteArray& password)
{
    return password.startsWith("senha ") ? password.mid(6).toInt() : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        return 2;
    }
    Vault vault(arguments.at(1));
    if (!vault.open().ok()) {
        return 3;
    }
    const bool rewritesSettings = arguments.at(2) == QLatin1String("settings");
    for (;;) {
        StorageResult result;
        if (rewritesSettings) {
            const int next = numberOfPassword(vault.settings().masterPassword) + 1;
            result = vault.saveSettings(CrashRecords::password(next), CrashRecords::asksAtStart(next));
        } else {
            const int next = int(vault.entries().size()) + 1;
            if (next > entryLimit) {
                return 0;
            }
            result = vault.addEntry(CrashRecords::entry(next));
        }
        if (!result.ok()) {
            return 4;
        }
        // One line per finished write, so that the test knows the writer is past its start.
        std::fputs(".\n", stdout);
        std::fflush(stdout);
    }
}
