// Adds entries to a vault and changes the master password in a loop until it is killed, through the same Vault
// calls the windows use.
// Usage: keyhound_crashwriter FOLDER
#include "referencecodec.h"
#include "storage/vault.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Vault vault(app.arguments().value(1));
    if (!vault.open().ok()) {
        return 2;
    }
    for (int next = int(vault.entries().size()) + 1; next <= 2000; ++next) {
        if (!vault.addEntry(ReferenceCodec::crashEntry(next)).ok() ||
            !vault.saveSettings("p" + QByteArray::number(next), false).ok()) {
            return 3;
        }
        // One line per finished write, so that the test knows the writer is past its start.
        std::fputs(".\n", stdout);
        std::fflush(stdout);
    }
    return 0;
}
