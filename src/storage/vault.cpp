#include "storage/vault.h"

#include "storage/atomicfile.h"
#include "storage/cipher.h"
#include "storage/damagedcopy.h"
#include "storage/datafilecheck.h"
#include "storage/linecodec.h"
#include "storage/vaultfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <new>

namespace {

QString fileError(const QString& fileName, const QString& action, const QString& reason)
{
    return QStringLiteral("Não foi possível %1 o arquivo %2:\n%3").arg(action, fileName, reason);
}

QString endingNote()
{
    return QStringLiteral("\n\nO programa será encerrado.");
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

// A data file that another user could have swapped, or that is no file at all, is neither read nor written.
StorageResult refusedWrite(const QString& refusal)
{
    return StorageResult::failed(refusal + QStringLiteral("\n\nNada foi gravado."));
}

QString damagedLines(qsizetype lines)
{
    return lines == 1 ? QStringLiteral("1 linha danificada") : QStringLiteral("%1 linhas danificadas").arg(lines);
}

StorageResult damagedNotice(qsizetype lines, const QString& copyPath, const DamagedCopy::Result& copy)
{
    const QString file = QString::fromLatin1(VaultFile::fileName);
    if (copy.outcome == DamagedCopy::Outcome::Failed) {
        return StorageResult::failed(QStringLiteral("O arquivo %1 tem %2, e não foi possível guardar uma cópia dele "
                                                    "em %3:\n%4\n\nPara que nada se perca, nada foi gravado.")
                                         .arg(file, damagedLines(lines), copyPath, copy.reason));
    }
    const QString kept = copy.outcome == DamagedCopy::Outcome::Copied
                             ? QStringLiteral("O arquivo original foi copiado, sem nenhuma alteração, para:")
                             : QStringLiteral("Uma cópia guardada antes continua, sem ser substituída, em:");
    return {StorageResult::Done,
            QStringLiteral("O arquivo %1 tem %2: ele pode ter sido convertido ou corrompido por outro programa, e "
                           "as entradas dessas linhas podem aparecer ilegíveis.\n\n%3\n%4\n\nGuarde essa cópia: "
                           "a próxima alteração regrava o %1 só com as entradas mostradas.")
                .arg(file, damagedLines(lines), kept, copyPath)};
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
    StorageResult result = checkDataFiles();
    if (result.ok()) {
        result = createMissingFiles(now);
    }
    if (result.ok()) {
        result = readSettings();
    }
    qsizetype damaged = 0;
    if (result.ok()) {
        result = readEntries(m_entries, damaged);
    }
    if (result.ok() && damaged > 0) {
        result = keepDamagedVault(damaged);
    }
    if (!result.ok()) {
        result.message += endingNote();
    }
    return result;
}

StorageResult Vault::checkDataFiles() const
{
    for (const char* name : {SettingsFile::fileName, VaultFile::fileName}) {
        const QString refusal = DataFileCheck::dataFile(m_dataFolder, QString::fromLatin1(name)).refusal;
        if (!refusal.isEmpty()) {
            return StorageResult::failed(refusal + QStringLiteral("\n\nNada foi lido nem gravado."));
        }
    }
    return {};
}

StorageResult Vault::openForReading(QFile& file, const char* name) const
{
    const DataFileCheck::Target target = DataFileCheck::dataFile(m_dataFolder, QString::fromLatin1(name));
    if (!target.refusal.isEmpty()) {
        return StorageResult::failed(target.refusal);
    }
    if (const QString reason = DataFileCheck::openForReading(file, target.path); !reason.isEmpty()) {
        return StorageResult::failed(fileError(QString::fromLatin1(name), QStringLiteral("ler"), reason));
    }
    if (file.size() > DataFileCheck::largeFileSize) {
        const QString question = QStringLiteral("O arquivo %1 tem %2 MB, muito mais do que um arquivo de senhas "
                                                "costuma ter. Ele pode não ser um arquivo deste programa, e lê-lo "
                                                "pode demorar e ocupar muita memória.\n\nAbrir assim mesmo?")
                                     .arg(target.path)
                                     .arg(file.size() >> 20);
        if (!m_confirmLargeFile || !m_confirmLargeFile(question)) {
            return StorageResult::failed(QStringLiteral("O arquivo %1 não foi aberto.").arg(target.path));
        }
    }
    return {};
}

StorageResult Vault::keepDamagedVault(qsizetype damagedLines) const
{
    const QString copyPath = vaultPath() + QLatin1String(DamagedCopy::suffix);
    const DataFileCheck::Target target =
        DataFileCheck::dataFile(m_dataFolder, QString::fromLatin1(VaultFile::fileName));
    return damagedNotice(damagedLines, copyPath, DamagedCopy::keep(target.path, copyPath));
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
    QFile file;
    if (StorageResult opened = openForReading(file, SettingsFile::fileName); !opened.ok()) {
        return opened;
    }
    const QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return StorageResult::failed(fileError(QString::fromLatin1(SettingsFile::fileName), "ler", file.errorString()));
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

StorageResult Vault::readEntries(EntryList& into, qsizetype& damagedLines) const
{
    // Read and decoded a piece at a time, so that a large vault is never held whole as well as decoded.
    const auto failed = [](const QString& reason) {
        return StorageResult::failed(fileError(QString::fromLatin1(VaultFile::fileName), "ler", reason));
    };
    QFile file;
    if (StorageResult opened = openForReading(file, VaultFile::fileName); !opened.ok()) {
        return opened;
    }
    try {
        LineCodec::FileDecoder decoder(m_settings.installationKey);
        QByteArray piece(readPieceSize, Qt::Uninitialized);
        for (qint64 length = file.read(piece.data(), piece.size()); length != 0;
             length = file.read(piece.data(), piece.size())) {
            if (length < 0) {
                return failed(file.errorString());
            }
            decoder.feed(QByteArrayView(piece.constData(), length));
        }
        into = EntryList(decoder.finish());
        damagedLines = decoder.damagedLines();
    } catch (const std::bad_alloc&) {
        return failed(QStringLiteral("Não há memória suficiente."));
    }
    return {};
}

StorageResult Vault::writeVault(const QByteArray& file, EntryList&& changed)
{
    if (!isInstallationKey(m_settings.installationKey)) {
        return withoutKey(VaultFile::fileName);
    }
    const DataFileCheck::Target target =
        DataFileCheck::dataFile(m_dataFolder, QString::fromLatin1(VaultFile::fileName));
    if (!target.refusal.isEmpty()) {
        return refusedWrite(target.refusal);
    }
    const QString reason = AtomicFile::write(target.path, file);
    if (!reason.isEmpty()) {
        return StorageResult::failed(fileError(QString::fromLatin1(VaultFile::fileName), "gravar", reason) +
                                     QStringLiteral("\n\nO arquivo anterior foi preservado e nada foi alterado."));
    }
    // The file now holds exactly the changed list's records, and reading it would give them back in this order:
    // the list is taken as it is rather than decoded and sorted again.
    m_entries = std::move(changed);
    emit entriesChanged();
    return {};
}

StorageResult Vault::addEntry(const QByteArray& record)
{
    return writeVault(VaultFile::withAddedRecord(m_entries, record, m_settings.installationKey),
                      m_entries.withAdded(record));
}

StorageResult Vault::replaceEntry(qsizetype index, const QByteArray& shown, const QByteArray& replacement)
{
    if (!m_entries.contains(index) || m_entries.at(index) != shown) {
        return {StorageResult::StaleEntry, {}};
    }
    return writeVault(VaultFile::withReplacedRecord(m_entries, index, replacement, m_settings.installationKey),
                      m_entries.withReplaced(index, replacement));
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
    const DataFileCheck::Target target =
        DataFileCheck::dataFile(m_dataFolder, QString::fromLatin1(SettingsFile::fileName));
    if (!target.refusal.isEmpty()) {
        return refusedWrite(target.refusal);
    }
    const QString reason = AtomicFile::write(target.path, file);
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
