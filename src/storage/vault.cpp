#include "storage/vault.h"

#include "storage/atomicwriter.h"
#include "storage/backupfile.h"
#include "storage/cipher.h"
#include "storage/damagedcopy.h"
#include "storage/datafilecheck.h"
#include "storage/leftoverfiles.h"
#include "storage/linecodec.h"
#include "storage/systemerror.h"
#include "storage/vaultfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <new>

namespace {

const QString vaultName = QString::fromLatin1(VaultFile::fileName);
const QString settingsName = QString::fromLatin1(SettingsFile::fileName);

QString fileError(const QString& fileName, const QString& action, const QString& reason)
{
    return QStringLiteral("Não foi possível %1 o arquivo %2:\n%3").arg(action, fileName, reason);
}

QString endingNote()
{
    return QStringLiteral("\n\nO programa será encerrado.");
}

QString changedOutsideNote(const QString& fileName)
{
    return QStringLiteral("O arquivo %1 foi alterado fora do programa depois que o programa o leu.").arg(fileName);
}

bool readWhole(const QString& path, QByteArray& contents)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    contents = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool isInstallationKey(const QByteArray& key)
{
    return !key.isEmpty() && std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

constexpr qint64 readPieceSize = 1 << 20;

// Nothing is written before the installation key is known: entries would be stored barely enciphered, and a
// settings file without the key would lose every saved password.
StorageResult withoutKey(const QString& fileName)
{
    return StorageResult::failed(
        fileError(fileName, QStringLiteral("gravar"), QStringLiteral("As configurações ainda não foram lidas.")));
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

bool sameSettings(const Settings& a, const Settings& b)
{
    return a.installationKey == b.installationKey && a.masterPassword == b.masterPassword &&
           a.askAtStart == b.askAtStart;
}

bool sameRecords(const EntryList& a, const EntryList& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a.at(i) != b.at(i)) {
            return false;
        }
    }
    return true;
}

qsizetype indexOf(const EntryList& list, const QByteArray& record)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i) == record) {
            return i;
        }
    }
    return -1;
}

// The one change that an edit or a single add makes to the list, planned before the file is written and made once it
// holds it; records added together find their places only once the file holds them all.
std::optional<EntryList::Change> plannedChange(const EntryList& entries, std::optional<qsizetype> index,
                                               const QList<QByteArray>& records)
{
    if (index) {
        return entries.replacing(*index, records.value(0));
    }
    if (records.size() == 1) {
        return entries.adding(records.first());
    }
    return std::nullopt;
}

} // namespace

Vault::Vault(const QString& dataFolder, QObject* parent) : QObject(parent), m_dataFolder(dataFolder) {}

QString Vault::vaultPath() const
{
    return QDir(m_dataFolder).filePath(vaultName);
}

QString Vault::settingsPath() const
{
    return QDir(m_dataFolder).filePath(settingsName);
}

StorageResult Vault::open(const QDateTime& now)
{
    // The vault is created only once the settings gave a key: nothing is written beside a cnfg.tab that is refused.
    StorageResult result = checkDataFiles();
    if (result.ok()) {
        result = createSettingsIfMissing(now);
    }
    if (result.ok()) {
        result = readSettings();
    }
    if (result.ok()) {
        result = createIfMissing(vaultPath(), vaultName, VaultFile::emptyFile());
    }
    qsizetype damaged = 0;
    if (result.ok()) {
        result = readEntries(m_entries, m_vaultStamp, damaged);
    }
    if (result.ok() && damaged > 0) {
        result = keepDamagedVault(damaged);
    }
    if (!result.ok()) {
        result.message += endingNote();
        return result;
    }
    LeftoverFiles::remove(settingsPath());
    LeftoverFiles::remove(vaultPath());
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

bool Vault::settingsBackupHoldsKey() const
{
    QByteArray contents;
    return readWhole(BackupFile::pathOf(settingsPath()), contents) &&
           isInstallationKey(SettingsFile::decode(contents).installationKey);
}

StorageResult Vault::createIfMissing(const QString& path, const QString& name, const QByteArray& contents) const
{
    // Whatever its attributes, a file that exists is never replaced here: it may hold the only copy of the key. A
    // file that a second copy of the program creates meanwhile is kept as well.
    if (QFileInfo(path).exists() || QFileInfo(path).isSymLink()) {
        return {};
    }
    const QString reason = AtomicWriter::write(path, contents, AtomicWriter::Commit::CreateNew);
    if (reason.isEmpty() || QFileInfo(path).exists()) {
        return {};
    }
    return StorageResult::failed(fileError(name, QStringLiteral("criar"),
                                           QStringLiteral("%1\n\nNada foi gravado. Verifique se há espaço livre no "
                                                          "disco e se a pasta %2 permite gravação.")
                                               .arg(reason, m_dataFolder)));
}

StorageResult Vault::createSettingsIfMissing(const QDateTime& now) const
{
    const QFileInfo settings(settingsPath());
    if (!settings.exists() && !settings.isSymLink() && settingsBackupHoldsKey()) {
        return StorageResult::failed(
            QStringLiteral("O arquivo %1 não foi encontrado, mas a cópia de segurança %1.bak guarda uma chave de "
                           "instalação. Para não perder as senhas, nenhuma chave nova foi criada e nada foi gravado."
                           "\n\nPara restaurar, copie %1.bak para %1 na pasta %2 e abra o programa de novo.")
                .arg(settingsName, m_dataFolder));
    }
    const Settings factory{SettingsFile::makeInstallationKey(now), Settings::factoryPassword, Settings::answerNo};
    return createIfMissing(settingsPath(), settingsName, SettingsFile::encode(factory));
}

StorageResult Vault::readSettings()
{
    QByteArray contents;
    if (StorageResult read = readSettingsFile(contents, m_settingsStamp); !read.ok()) {
        return read;
    }
    const Settings read = SettingsFile::decode(contents);
    if (!isInstallationKey(read.installationKey)) {
        // Going on without the key would store new passwords barely enciphered, and a rewrite would lose the file.
        QString message = QStringLiteral("O arquivo %1 não contém uma chave de instalação válida e não foi alterado."
                                         "\nSem ela as senhas não podem ser lidas nem gravadas com segurança.")
                              .arg(settingsName);
        if (settingsBackupHoldsKey()) {
            message += QStringLiteral("\n\nA cópia de segurança %1.bak guarda uma chave de instalação. Para "
                                      "restaurar, copie %1.bak para %1 na pasta %2 e abra o programa de novo.")
                           .arg(settingsName, m_dataFolder);
        }
        return StorageResult::failed(message);
    }
    takeSettings(read);
    return {};
}

void Vault::takeSettings(const Settings& read)
{
    takeUnlessBlank(m_settings.installationKey, read.installationKey);
    takeUnlessBlank(m_settings.masterPassword, read.masterPassword);
    takeUnlessBlank(m_settings.askAtStart, read.askAtStart);
}

StorageResult Vault::readSettingsFile(QByteArray& contents, FileStamp& stamp) const
{
    QFile file;
    if (StorageResult opened = openForReading(file, SettingsFile::fileName); !opened.ok()) {
        return opened;
    }
    stamp = FileStamp::ofDescriptor(file.handle());
    contents = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return StorageResult::failed(
            fileError(settingsName, QStringLiteral("ler"), SystemError::reason(file.errorString())));
    }
    return {};
}

StorageResult Vault::readEntries(EntryList& into, FileStamp& stamp, qsizetype& damagedLines) const
{
    // Read and decoded a piece at a time, so that a large vault is never held whole as well as decoded.
    const auto failed = [](const QString& reason) {
        return StorageResult::failed(fileError(vaultName, QStringLiteral("ler"), reason));
    };
    QFile file;
    if (StorageResult opened = openForReading(file, VaultFile::fileName); !opened.ok()) {
        return opened;
    }
    stamp = FileStamp::ofDescriptor(file.handle());
    try {
        LineCodec::FileDecoder decoder(m_settings.installationKey);
        QByteArray piece(readPieceSize, Qt::Uninitialized);
        for (qint64 length = file.read(piece.data(), piece.size()); length != 0;
             length = file.read(piece.data(), piece.size())) {
            if (length < 0) {
                return failed(SystemError::reason(file.errorString()));
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

StorageResult Vault::changeEntries(std::optional<qsizetype> index, const QByteArray& shown,
                                   const QList<QByteArray>& records)
{
    if (!isInstallationKey(m_settings.installationKey)) {
        return withoutKey(vaultName);
    }
    if (index && (!m_entries.contains(*index) || m_entries.at(*index) != shown)) {
        return {StorageResult::StaleEntry, {}};
    }
    bool changedOutside = false;
    const StorageResult reread = rereadEntriesChangedOutside(changedOutside);
    if (!reread.ok()) {
        return reread;
    }
    const StorageResult result =
        changedOutside ? changeOverOutsideChange(index, shown, records) : writeVault(index, records);
    if (result.ok() || changedOutside) {
        emit entriesChanged();
    }
    return result;
}

StorageResult Vault::rereadEntriesChangedOutside(bool& changed)
{
    changed = false;
    if (FileStamp::ofPath(vaultPath()) == m_vaultStamp) {
        return {};
    }
    // Only a file whose records differ was really changed; one merely touched or copied back is written as usual.
    EntryList onDisk;
    FileStamp stamp;
    qsizetype damaged = 0;
    const StorageResult read = readEntries(onDisk, stamp, damaged);
    if (!read.ok()) {
        return StorageResult::failed(changedOutsideNote(vaultName) + QStringLiteral(" Nada foi gravado.\n\n") +
                                     read.message);
    }
    m_vaultStamp = stamp;
    changed = !sameRecords(onDisk, m_entries);
    if (changed) {
        m_entries = std::move(onDisk);
    }
    return {};
}

StorageResult Vault::changeOverOutsideChange(std::optional<qsizetype> index, const QByteArray& shown,
                                             const QList<QByteArray>& records)
{
    const QString note = changedOutsideNote(vaultName);
    const QString listNote = QStringLiteral("\n\nA lista mostra agora o que o arquivo contém.");
    const qsizetype shownNow = index ? indexOf(m_entries, shown) : -1;
    if (index && shownNow < 0) {
        return {StorageResult::ChangedOutside,
                note + QStringLiteral(" A entrada mostrada não está mais nele, e nada foi gravado.") + listNote};
    }
    StorageResult result = writeVault(index ? std::optional(shownNow) : std::nullopt, records);
    if (!result.ok()) {
        result.message += QStringLiteral("\n\n") + note + listNote;
        return result;
    }
    return {StorageResult::SavedOverOutsideChange,
            note +
                QStringLiteral(" A sua alteração foi feita sobre o conteúdo atual do arquivo, sem perder o que foi "
                               "mudado fora; a versão anterior ficou em %1.bak.")
                    .arg(vaultName) +
                listNote};
}

StorageResult Vault::writeVault(std::optional<qsizetype> index, const QList<QByteArray>& records)
{
    const DataFileCheck::Target target = DataFileCheck::dataFile(m_dataFolder, vaultName);
    if (!target.refusal.isEmpty()) {
        return refusedWrite(target.refusal);
    }
    const std::optional<EntryList::Change> change = plannedChange(m_entries, index, records);
    AtomicWriter writer(target.path);
    const VaultFile::Sink sink = [&writer](QByteArrayView piece) { return writer.append(piece); };
    const QByteArray& key = m_settings.installationKey;
    const bool written =
        writer.open() && (index ? VaultFile::writeWithReplacedRecord(sink, m_entries, *index, records.value(0), key)
                                : VaultFile::writeWithAddedRecords(sink, m_entries, records, key));
    if (!written || !writer.commit(AtomicWriter::Commit::ReplaceKeepingBackup)) {
        return StorageResult::failed(fileError(vaultName, QStringLiteral("gravar"), writer.failure()) +
                                     QStringLiteral("\n\nO arquivo anterior foi preservado e nada foi alterado."));
    }
    m_vaultStamp = writer.stamp();
    // The file now holds exactly the changed list's records, and reading it would give them back in this order:
    // the list is changed in place rather than read and sorted again.
    if (change) {
        m_entries.apply(*change);
        return {};
    }
    for (const QByteArray& record : records) {
        m_entries.apply(m_entries.adding(record));
    }
    return {};
}

StorageResult Vault::addEntry(const QByteArray& record)
{
    return changeEntries(std::nullopt, {}, {record});
}

StorageResult Vault::addEntries(const QList<QByteArray>& records)
{
    return changeEntries(std::nullopt, {}, records);
}

StorageResult Vault::replaceEntry(qsizetype index, const QByteArray& shown, const QByteArray& replacement)
{
    return changeEntries(index, shown, {replacement});
}

StorageResult Vault::deleteEntry(qsizetype index, const QByteArray& shown)
{
    return changeEntries(index, shown, {QByteArray()});
}

StorageResult Vault::rereadChangedSettings()
{
    QByteArray contents;
    FileStamp stamp;
    if (const StorageResult read = readSettingsFile(contents, stamp); !read.ok()) {
        return StorageResult::failed(changedOutsideNote(settingsName) + QStringLiteral(" Nada foi gravado.\n\n") +
                                     read.message);
    }
    m_settingsStamp = stamp;
    const Settings read = SettingsFile::decode(contents);
    if (sameSettings(read, m_settings)) {
        return {};
    }
    takeSettings(read);
    emit settingsChanged();
    return {StorageResult::ChangedOutside,
            changedOutsideNote(settingsName) +
                QStringLiteral(" Nada foi gravado; as configurações foram lidas de novo do arquivo. Confira-as e "
                               "salve de novo se quiser alterá-las.")};
}

StorageResult Vault::saveSettings(const QByteArray& masterPassword, bool askAtStart)
{
    if (!isInstallationKey(m_settings.installationKey)) {
        return withoutKey(settingsName);
    }
    if (FileStamp::ofPath(settingsPath()) != m_settingsStamp) {
        const StorageResult reread = rereadChangedSettings();
        if (!reread.ok()) {
            return reread;
        }
    }
    const Settings changed{m_settings.installationKey, masterPassword,
                           askAtStart ? Settings::answerYes : Settings::answerNo};
    const QByteArray file = SettingsFile::encode(changed);
    const DataFileCheck::Target target = DataFileCheck::dataFile(m_dataFolder, settingsName);
    if (!target.refusal.isEmpty()) {
        return refusedWrite(target.refusal);
    }
    const QString reason =
        AtomicWriter::write(target.path, file, AtomicWriter::Commit::ReplaceKeepingBackup, &m_settingsStamp);
    if (!reason.isEmpty()) {
        return StorageResult::failed(fileError(settingsName, QStringLiteral("gravar"), reason) +
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
