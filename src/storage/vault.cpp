#include "storage/vault.h"

#include "storage/atomicfile.h"
#include "storage/cipher.h"
#include "storage/linecodec.h"
#include "storage/vaultfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString fileError(const QString& fileName, const QString& action, const QString& reason)
{
    return QStringLiteral("Não foi possível %1 o arquivo %2:\n%3").arg(action, fileName, reason);
}

QString endingNote()
{
    return QStringLiteral("\n\nO programa será encerrado.");
}

bool readWhole(const QString& path, QByteArray& contents, QString& reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return false;
    }
    contents = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return false;
    }
    return true;
}

bool isInstallationKey(const QByteArray& key)
{
    return !key.isEmpty() && std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

constexpr qint64 readPieceSize = 1 << 20;

// Nothing is written before the installation key is known: entries would be stored barely enciphered, and a
// settings file without the key would lose every saved password.
StorageResult withoutKey(const char* fileName)
{
    return StorageResult::failed(fileError(QString::fromLatin1(fileName), QStringLiteral("gravar"),
                                           QStringLiteral("As configurações ainda não foram lidas.")));
}

// A field read back that is empty after trimming spaces leaves the value held before.
void takeUnlessBlank(QByteArray& held, const QByteArray& read)
{
    if (!trimSpaces(read).isEmpty()) {
        held = read;
    }
}

} // namespace

Vault::Vault(const QString& dataFolder, QObject* parent) : QObject(parent), m_dataFolder(dataFolder) {}

QString Vault::vaultPath() const
{
    return QDir(m_dataFolder).filePath(QString::fromLatin1(VaultFile::fileName));
}

QString Vault::settingsPath() const
{
    return QDir(m_dataFolder).filePath(QString::fromLatin1(SettingsFile::fileName));
}

StorageResult Vault::open(const QDateTime& now)
{
    StorageResult result = createMissingFiles(now);
    if (result.ok()) {
        result = readSettings();
    }
    if (result.ok()) {
        result = readEntries(m_entries);
    }
    if (!result.ok()) {
        result.message += endingNote();
    }
    return result;
}

StorageResult Vault::createMissingFiles(const QDateTime& now)
{
    // Whatever its attributes, a file that exists is never replaced here: it may hold the only copy of the key.
    const auto create = [this](const QString& path, const char* name, const QByteArray& contents) {
        if (QFileInfo(path).exists() || QFileInfo(path).isSymLink()) {
            return StorageResult{};
        }
        const QString reason = AtomicFile::write(path, contents);
        if (reason.isEmpty()) {
            return StorageResult{};
        }
        return StorageResult::failed(
            fileError(QString::fromLatin1(name), QStringLiteral("criar"),
                      QStringLiteral("%1\n\nVerifique se a pasta %2 permite gravação.").arg(reason, m_dataFolder)));
    };
    const Settings factory{SettingsFile::makeInstallationKey(now), Settings::factoryPassword, Settings::answerNo};
    StorageResult result = create(settingsPath(), SettingsFile::fileName, SettingsFile::encode(factory));
    if (result.ok()) {
        result = create(vaultPath(), VaultFile::fileName, VaultFile::emptyFile());
    }
    return result;
}

StorageResult Vault::readSettings()
{
    QByteArray contents;
    QString reason;
    if (!readWhole(settingsPath(), contents, reason)) {
        return StorageResult::failed(fileError(QString::fromLatin1(SettingsFile::fileName), "ler", reason));
    }
    const Settings read = SettingsFile::decode(contents);
    if (!isInstallationKey(read.installationKey)) {
        // Going on without the key would store new passwords barely enciphered, and a rewrite would lose the file.
        return StorageResult::failed(QStringLiteral("O arquivo %1 não contém uma chave de instalação válida e não "
                                                    "foi alterado.\nSem ela as senhas não podem ser lidas nem "
                                                    "gravadas com segurança.")
                                         .arg(QString::fromLatin1(SettingsFile::fileName)));
    }
    takeUnlessBlank(m_settings.installationKey, read.installationKey);
    takeUnlessBlank(m_settings.masterPassword, read.masterPassword);
    takeUnlessBlank(m_settings.askAtStart, read.askAtStart);
    return {};
}

StorageResult Vault::readEntries(EntryList& into) const
{
    // Read and decoded a piece at a time, so that a large vault is never held whole as well as decoded.
    const auto failed = [](const QFile& file) {
        return StorageResult::failed(fileError(QString::fromLatin1(VaultFile::fileName), "ler", file.errorString()));
    };
    QFile file(vaultPath());
    if (!file.open(QIODevice::ReadOnly)) {
        return failed(file);
    }
    LineCodec::FileDecoder decoder(m_settings.installationKey);
    QByteArray piece(readPieceSize, Qt::Uninitialized);
    for (qint64 length = file.read(piece.data(), piece.size()); length != 0;
         length = file.read(piece.data(), piece.size())) {
        if (length < 0) {
            return failed(file);
        }
        decoder.feed(QByteArrayView(piece.constData(), length));
    }
    into = EntryList(decoder.finish());
    return {};
}

StorageResult Vault::writeVault(const QByteArray& file, const EntryList::Change& change)
{
    if (!isInstallationKey(m_settings.installationKey)) {
        return withoutKey(VaultFile::fileName);
    }
    const QString reason = AtomicFile::write(vaultPath(), file);
    if (!reason.isEmpty()) {
        return StorageResult::failed(fileError(QString::fromLatin1(VaultFile::fileName), "gravar", reason) +
                                     QStringLiteral("\n\nO arquivo anterior foi preservado e nada foi alterado."));
    }
    // The file now holds exactly the changed list's records, and reading it would give them back in this order:
    // the list is changed in place rather than read and sorted again.
    m_entries.apply(change);
    emit entriesChanged();
    return {};
}

StorageResult Vault::addEntry(const QByteArray& record)
{
    const EntryList::Change change = m_entries.adding(record);
    return writeVault(VaultFile::withAddedRecord(m_entries, record, m_settings.installationKey), change);
}

StorageResult Vault::replaceEntry(qsizetype index, const QByteArray& shown, const QByteArray& replacement)
{
    if (!m_entries.contains(index) || m_entries.at(index) != shown) {
        return {StorageResult::StaleEntry, {}};
    }
    const EntryList::Change change = m_entries.replacing(index, replacement);
    return writeVault(VaultFile::withReplacedRecord(m_entries, index, replacement, m_settings.installationKey), change);
}

StorageResult Vault::deleteEntry(qsizetype index, const QByteArray& shown)
{
    return replaceEntry(index, shown, {});
}

StorageResult Vault::saveSettings(const QByteArray& masterPassword, bool askAtStart)
{
    if (!isInstallationKey(m_settings.installationKey)) {
        return withoutKey(SettingsFile::fileName);
    }
    const Settings changed{m_settings.installationKey, masterPassword,
                           askAtStart ? Settings::answerYes : Settings::answerNo};
    const QByteArray file = SettingsFile::encode(changed);
    const QString reason = AtomicFile::write(settingsPath(), file);
    if (!reason.isEmpty()) {
        return StorageResult::failed(fileError(QString::fromLatin1(SettingsFile::fileName), "gravar", reason) +
                                     QStringLiteral("\n\nAs configurações anteriores foram preservadas."));
    }
    // The password checked from now on is the one the file holds, even an empty one.
    const Settings read = SettingsFile::decode(file);
    takeUnlessBlank(m_settings.installationKey, read.installationKey);
    m_settings.masterPassword = read.masterPassword;
    m_settings.askAtStart = read.askAtStart;
    emit settingsChanged();
    return {};
}
