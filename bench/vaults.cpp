#include "vaults.h"

#include "storage/entrylist.h"
#include "storage/entryrecord.h"
#include "storage/linecodec.h"
#include "storage/settingsfile.h"
#include "storage/vault.h"
#include "storage/vaultfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <map>

namespace {

QByteArray randomWord(QRandomGenerator& random, int length)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray word(length, Qt::Uninitialized);
    for (char& c : word) {
        c = letters[random.bounded(int(sizeof letters) - 1)];
    }
    return word;
}

QTemporaryDir& root()
{
    static QTemporaryDir made;
    return made;
}

// Settings and a vault of the records in the given order, written line by line.
QString makeFolder(const QString& name, const QList<QByteArray>& records)
{
    const QString folder = root().filePath(name);
    QDir().mkpath(folder);
    Vault vault(folder);
    vault.open(QDateTime(QDate(2026, 3, 6), QTime(0, 0, 7)));
    QFile file(Vaults::vaultPath(folder));
    file.open(QIODevice::WriteOnly);
    file.write("\"");
    for (const QByteArray& record : records) {
        file.write(LineCodec::encode(record, vault.settings().installationKey) + "\r\n");
    }
    file.write("\"\r\n");
    return folder;
}

QList<QByteArray> randomRecords(int entries)
{
    QRandomGenerator random{quint32(entries)};
    QList<QByteArray> records;
    for (int i = 0; i < entries; ++i) {
        records.append(Vaults::randomRecord(random));
    }
    return records;
}

QString madeOnce(const QString& name, const std::function<QList<QByteArray>()>& records)
{
    static std::map<QString, QString> made;
    auto found = made.find(name);
    if (found == made.end()) {
        found = made.emplace(name, makeFolder(name, records())).first;
    }
    return found->second;
}

} // namespace

namespace Vaults {

QString inOrder(int entries)
{
    return madeOnce(QStringLiteral("in-order-%1").arg(entries), [entries] {
        const EntryList sorted(randomRecords(entries));
        QList<QByteArray> records;
        for (qsizetype i = 0; i < sorted.size(); ++i) {
            records.append(sorted.at(i));
        }
        return records;
    });
}

QString shuffled(int entries)
{
    return madeOnce(QStringLiteral("shuffled-%1").arg(entries), [entries] { return randomRecords(entries); });
}

QString inCodeOrder(int entries)
{
    return madeOnce(QStringLiteral("code-order-%1").arg(entries), [entries] {
        QList<QByteArray> records = randomRecords(entries);
        std::sort(records.begin(), records.end());
        return records;
    });
}

QString copyOf(const QString& folder)
{
    static int copies = 0;
    const QString copy = root().filePath(QStringLiteral("copy-%1").arg(++copies));
    QDir().mkpath(copy);
    for (const char* name : {VaultFile::fileName, SettingsFile::fileName}) {
        QFile::copy(QDir(folder).filePath(QString::fromLatin1(name)), QDir(copy).filePath(QString::fromLatin1(name)));
    }
    return copy;
}

QString vaultPath(const QString& folder)
{
    return QDir(folder).filePath(QString::fromLatin1(VaultFile::fileName));
}

// A random title, no expiry, a stamp, login, password, address and a short description.
QByteArray randomRecord(QRandomGenerator& random)
{
    return EntryRecord::join({randomWord(random, 12), EntryRecord::noExpiry, "26.03.06.10.00.00",
                              randomWord(random, 10), randomWord(random, 12), "https://" + randomWord(random, 10),
                              randomWord(random, 8) + "\r\n" + randomWord(random, 8)});
}

} // namespace Vaults
