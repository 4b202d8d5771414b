// keyhound-print-secrets FOLDER: prints the installation key and the master password of the data folder, one a line,
// for a test that looks for them where no other program may read them.
#include "storage/vault.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        return 2;
    }
    Vault vault(QString::fromLocal8Bit(argv[1]));
    if (!vault.open().ok()) {
        return 1;
    }
    QTextStream(stdout) << vault.settings().installationKey << '\n' << vault.settings().masterPassword << '\n';
    return 0;
}
