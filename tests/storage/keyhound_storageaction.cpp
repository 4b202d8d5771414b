// Starts a vault in a folder and makes one change through the same Vault calls the windows use, then prints the
// result's status number and message, so that a test can run it under limits of its own.
// Usage: keyhound_storageaction FOLDER start|add|update|delete|settings
#include "storage/vault.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString action = app.arguments().value(2);
    Vault vault(app.arguments().value(1));
    StorageResult result = vault.open(QDateTime(QDate(2026, 3, 6), QTime(0, 0, 7)));
    if (result.ok() && action != QStringLiteral("start")) {
        const QByteArray first = vault.entries().isEmpty() ? QByteArray() : vault.entries().at(0);
        if (action == QStringLiteral("add")) {
            result = vault.addEntry("nova\xA7----/----/----\xA7"
                                    "26.03.06.10.00.00\xA7login\xA7senha\xA7\xA7");
        } else if (action == QStringLiteral("update")) {
            result = vault.replaceEntry(0, first, first + "alterada");
        } else if (action == QStringLiteral("delete")) {
            result = vault.deleteEntry(0, first);
        } else {
            result = vault.saveSettings("nova senha", true);
        }
    }
    std::printf("%d\n%s", int(result.status), result.message.toUtf8().constData());
    return 0;
}
