// keyhound_storageaction FOLDER start|add|update|delete|settings: one change, then its status number and message;
// keyhound_storageaction FOLDER crash: adds an entry and sets a password in turn, a line after each, until killed.
// keyhound_storageaction FOLDER race N: adds entries 1 to N, a line with each status number and message.
// keyhound_storageaction FOLDER list: a line with each entry's record in hexadecimal, then the start's status.
#include "referencecodec.h"
#include "storage/vault.h"
#include "wording/storagewording.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString action = app.arguments().value(2);
    Vault vault(app.arguments().value(1));
    StorageResult result = vault.open(QDateTime(QDate(2026, 3, 6), QTime(0, 0, 7)));
    for (int n = int(vault.entries().size()) + 1; action == "crash" && result.ok() && n <= 2000; ++n) {
        result = vault.addEntry(ReferenceCodec::crashEntry(n));
        result = result.ok() ? vault.saveSettings("p" + QByteArray::number(n), false) : result;
        std::fputs(".\n", stdout);
        std::fflush(stdout);
    }
    for (int n = 1; action == "race" && n <= app.arguments().value(3).toInt(); ++n) {
        const StorageResult added = vault.addEntry(ReferenceCodec::crashEntry(n));
        std::printf("%d %s\n", int(added.status),
                    StorageWording::message(added).section('\n', 0, 0).toUtf8().constData());
    }
    for (qsizetype i = 0; action == "list" && i < vault.entries().size(); ++i) {
        std::printf("%s\n", vault.entries().at(i).toHex().constData());
    }
    const QByteArray first = vault.entries().isEmpty() ? QByteArray() : vault.entries().at(0);
    result = !result.ok()           ? result
             : action == "add"      ? vault.addEntry(ReferenceCodec::crashEntry(0))
             : action == "update"   ? vault.replaceEntry(0, first, first + "alterada")
             : action == "delete"   ? vault.deleteEntry(0, first)
             : action == "settings" ? vault.saveSettings("nova senha", true)
                                    : result;
    std::printf("%d\n%s", int(result.status), StorageWording::message(result).toUtf8().constData());
}
