#include "storage/vault.h"

#include "storage/atomicwriter.h"
#include "storage/backupfile.h"
#include "storage/cipher.h"
#include "storage/damagedcopy.h"
#include "storage/damagenotice.h"
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

// How often a change is made again over a file that another program keeps replacing while it is written.
constexpr int writeAttempts = 5;

QString repeatedChangeNote()
{
    return QStringLiteral(" Ele continuou sendo alterado enquanto a alteração era gravada, e nada foi gravado. "
                          "Tente de novo quando o outro programa terminar.");
}

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

// Nothing at the path, not even a link: the file was removed, or never made.
bool isMissing(const QString& path)
{
    return !QFileInfo(path).exists() && !QFileInfo(path).isSymLink();
}

QString removedNote(const QString& fileName, const QString& writtenWith)
{
    return QStringLiteral("O arquivo %1 tinha sido removido fora do programa depois que o programa o leu. Ele foi "
                          "gravado de novo com %2.")
        .arg(fileName, writtenWith);
}

// Nothing can be lost then, as nothing on disk is written over; but until a write succeeds, what the file held is
// only in the program.
QString removedUnsavedNote(const QString& fileName, const QString& heldWhere)
{
    return QStringLiteral("O arquivo %1 tinha sido removido fora do programa depois que o programa o leu: %2 está "
                          "agora só no programa. Tente gravar de novo antes de fechá-lo.")
        .arg(fileName, heldWhere);
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
    QFile vault;
    m_damage = {};
    if (result.ok()) {
        result = readEntries(vault, m_entries, m_vaultStamp, damaged);
    }
    if (result.ok() && damaged > 0) {
        result = keepDamagedVault(vault, damaged);
        if (result.ok()) {
            result.message =
                isReadOnly() ? DamageNotice::readOnly(damaged) : DamageNotice::atStart(damaged, m_damage.copy);
        }
    }
    if (!result.ok()) {
        result.message += endingNote();
        return result;
    }
    if (!isReadOnly()) {
        LeftoverFiles::remove(settingsPath());
        LeftoverFiles::remove(vaultPath());
    }
    return result;
}

StorageResult Vault::refusalWhileReadOnly() const
{
    if (!isReadOnly()) {
        return {};
    }
    return StorageResult::failed(QStringLiteral("Nada foi gravado: o programa foi aberto só para leitura.\n\n") +
                                 m_readOnlyReason);
}

StorageResult Vault::readAgain()
{
    StorageResult result = readSettings();
    qsizetype damaged = 0;
    QFile file;
    if (result.ok()) {
        result = readEntries(file, m_entries, m_vaultStamp, damaged);
    }
    emit settingsChanged();
    emit entriesChanged();
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

StorageResult Vault::keepDamagedVault(QFile& file, qsizetype damagedLines)
{
    // Opened read-only, nothing can write over the damage: no copy is needed, and none could be made.
    if (isReadOnly()) {
        return {};
    }
    const DamagedCopy::Result copy = DamagedCopy::keep(file, vaultPath() + QLatin1String(DamagedCopy::suffix));
    if (copy.outcome == DamagedCopy::Outcome::Failed) {
        return StorageResult::failed(DamageNotice::copyFailed(damagedLines, copy));
    }
    m_damage = {damagedLines, copy};
    return {};
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
    if (!isMissing(path)) {
        return {};
    }
    if (StorageResult refused = refusalWhileReadOnly(); !refused.ok()) {
        return refused;
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
    if (isMissing(settingsPath()) && settingsBackupHoldsKey()) {
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

StorageResult Vault::readEntries(QFile& file, EntryList& into, FileStamp& stamp, qsizetype& damagedLines) const
{
    // Read and decoded a piece at a time, so that a large vault is never held whole as well as decoded.
    const auto failed = [](const QString& reason) {
        return StorageResult::failed(fileError(vaultName, QStringLiteral("ler"), reason));
    };
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
    if (StorageResult refused = refusalWhileReadOnly(); !refused.ok()) {
        return refused;
    }
    if (!isInstallationKey(m_settings.installationKey)) {
        return withoutKey(vaultName);
    }
    if (index && (!m_entries.contains(*index) || m_entries.at(*index) != shown)) {
        return {StorageResult::StaleEntry, {}};
    }
    // Another program that replaces the file while it is written is noticed at the replacement itself: the file is
    // then read again and the change made once more, over what it holds.
    Outside found = Outside::Unchanged;
    Damage damage;
    StorageResult result;
    for (int attempt = 1;; ++attempt) {
        Outside foundNow = Outside::Unchanged;
        if (const StorageResult reread = rereadEntriesChangedOutside(foundNow); !reread.ok()) {
            return reread;
        }
        if (foundNow != Outside::Unchanged) {
            found = foundNow;
        }
        if (m_damage.lines > 0) {
            damage = m_damage;
        }
        result = found == Outside::Changed ? changeOverOutsideChange(index, shown, records)
                                           : writeVault(index, records, found);
        if (m_vaultStamp.isKnown() || attempt == writeAttempts) {
            break;
        }
    }
    if (const QString notice = noticeOf(found, damage, result.ok()); !notice.isEmpty()) {
        result.message = result.ok() ? notice : result.message + QStringLiteral("\n\n") + notice;
    }
    if (result.ok() || found == Outside::Changed) {
        emit entriesChanged();
    }
    return result;
}

QString Vault::noticeOf(Outside found, const Damage& damage, bool saved)
{
    if (found == Outside::Damaged) {
        return DamageNotice::afterOutsideChange(damage.lines, damage.copy, saved);
    }
    if (found != Outside::Removed) {
        return {};
    }
    return saved ? removedNote(vaultName, QStringLiteral("as entradas que a lista mostrava e a sua alteração"))
                 : removedUnsavedNote(vaultName, QStringLiteral("o que ele guardava"));
}

StorageResult Vault::rereadEntriesChangedOutside(Outside& found)
{
    found = Outside::Unchanged;
    if (FileStamp::ofPath(vaultPath()) == m_vaultStamp) {
        return {};
    }
    if (isMissing(vaultPath())) {
        found = Outside::Removed;
        return {};
    }
    // Only a file whose records differ was really changed; one merely touched or copied back is written as usual.
    QFile file;
    EntryList onDisk;
    FileStamp stamp;
    qsizetype damaged = 0;
    StorageResult read = readEntries(file, onDisk, stamp, damaged);
    m_damage = {};
    if (read.ok() && damaged > 0) {
        read = keepDamagedVault(file, damaged);
    }
    if (!read.ok()) {
        return StorageResult::failed(changedOutsideNote(vaultName) + QStringLiteral(" Nada foi gravado.\n\n") +
                                     read.message);
    }
    m_vaultStamp = stamp;
    // Damaged records would be stored as they read, unreadable for good: the list keeps what it showed.
    if (damaged > 0) {
        found = Outside::Damaged;
    } else if (!sameRecords(onDisk, m_entries)) {
        found = Outside::Changed;
        m_entries = std::move(onDisk);
        emit entriesReadAfterOutsideChange();
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

StorageResult Vault::writeVault(std::optional<qsizetype> index, const QList<QByteArray>& records, Outside found)
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
    // A removed file is made anew, and nothing that appeared meanwhile is written over. A damaged file, kept in its
    // copy, does not become the backup, which keeps the last file that could be read whole.
    const AtomicWriter::Commit how = found == Outside::Removed ? AtomicWriter::Commit::CreateNew
                                     : m_damage.lines > 0      ? AtomicWriter::Commit::Replace
                                                               : AtomicWriter::Commit::ReplaceKeepingBackup;
    if (!written || !writer.commit(how, m_vaultStamp)) {
        if (writer.foundOutsideChange()) {
            m_vaultStamp = {}; // to be read again
            return StorageResult::failed(changedOutsideNote(vaultName) + repeatedChangeNote());
        }
        const QString kept = found == Outside::Removed
                                 ? QString()
                                 : QStringLiteral("\n\nO arquivo anterior foi preservado e nada foi alterado.");
        return StorageResult::failed(fileError(vaultName, QStringLiteral("gravar"), writer.failure()) + kept);
    }
    m_vaultStamp = writer.stamp();
    m_damage = {};
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

StorageResult Vault::writeSettingsFile(const QString& path, const QByteArray& file, AtomicWriter::Commit how,
                                       const QString& failureNote)
{
    for (int attempt = 1;; ++attempt) {
        AtomicWriter writer(path);
        if (writer.open() && writer.append(file) && writer.commit(how, m_settingsStamp)) {
            m_settingsStamp = writer.stamp();
            return {};
        }
        if (!writer.foundOutsideChange() || attempt == writeAttempts) {
            return StorageResult::failed(fileError(settingsName, QStringLiteral("gravar"), writer.failure()) +
                                         failureNote);
        }
        // Replaced while it was written: read again, and written only if it still holds what was shown.
        m_settingsStamp = {};
        if (StorageResult reread = rereadChangedSettings(); reread.status != StorageResult::Done) {
            return reread;
        }
    }
}

StorageResult Vault::saveSettings(const QByteArray& masterPassword, bool askAtStart)
{
    if (StorageResult refused = refusalWhileReadOnly(); !refused.ok()) {
        return refused;
    }
    if (!isInstallationKey(m_settings.installationKey)) {
        return withoutKey(settingsName);
    }
    const bool removed = isMissing(settingsPath());
    if (!removed && FileStamp::ofPath(settingsPath()) != m_settingsStamp) {
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
    const QString kept =
        removed
            ? QStringLiteral("\n\n") +
                  removedUnsavedNote(settingsName, QStringLiteral("a chave de instalação que lê o %1").arg(vaultName))
            : QStringLiteral("\n\nAs configurações anteriores foram preservadas.");
    const AtomicWriter::Commit how =
        removed ? AtomicWriter::Commit::CreateNew : AtomicWriter::Commit::ReplaceKeepingBackup;
    if (StorageResult written = writeSettingsFile(target.path, file, how, kept);
        written.status != StorageResult::Done) {
        return written;
    }
    // The password checked from now on is the one the file holds, even an empty one.
    const Settings read = SettingsFile::decode(file);
    takeUnlessBlank(m_settings.installationKey, read.installationKey);
    m_settings.masterPassword = read.masterPassword;
    m_settings.askAtStart = read.askAtStart;
    emit settingsChanged();
    if (removed) {
        return {StorageResult::Done,
                removedNote(settingsName, QStringLiteral("a chave de instalação que o programa guardava, sem a "
                                                         "qual o %1 não pode ser lido, e as configurações escolhidas")
                                              .arg(vaultName))};
    }
    return {};
}
