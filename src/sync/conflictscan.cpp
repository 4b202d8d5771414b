#include "sync/conflictscan.h"

#include "storage/datafilecheck.h"
#include "storage/entryrecord.h"
#include "storage/linecodec.h"
#include "storage/vault.h"
#include "storage/vaultfile.h"
#include "sync/conflictname.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

ConflictCopy copyAt(const QString& path, const QString& tool, ConflictCopy::Kind kind)
{
    ConflictCopy copy;
    copy.path = path;
    copy.tool = tool;
    copy.kind = kind;
    return copy;
}

bool holdsInstallationKey(const Settings& settings)
{
    const QByteArray& key = settings.installationKey;
    return !key.isEmpty() && std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A record read under the right key has the seven fields and an update stamp among them; one deciphered under a
// wrong key is noise that almost never holds six separators, let alone a stamp.
bool isLegible(const QByteArray& record)
{
    if (record.count(EntryRecord::separator) < EntryRecord::FieldCount - 1) {
        return false;
    }
    const QList<QByteArray> fields = record.split(EntryRecord::separator);
    return std::any_of(fields.begin(), fields.end(), EntryMerge::isUpdateStamp);
}

// Reads the whole file; in the data folder only when no other user could have put it there.
ConflictCopy::Problem readFile(ConflictCopy& copy, bool inDataFolder, QByteArray& contents)
{
    QString path = copy.path;
    if (inDataFolder) {
        const QFileInfo where(copy.path);
        const DataFileCheck::Target target = DataFileCheck::dataFile(where.absolutePath(), where.fileName());
        copy.detail = target.refusal;
        if (target.refused()) {
            return ConflictCopy::Problem::Refused;
        }
        path = target.path;
    }
    QFile file;
    copy.detail = DataFileCheck::openForReading(file, path);
    if (!copy.detail.isNone()) {
        return ConflictCopy::Problem::Unreadable;
    }
    if (file.size() > DataFileCheck::largeFileSize) {
        return ConflictCopy::Problem::TooLarge;
    }
    copy.stamp = FileStamp::ofDescriptor(file.handle());
    copy.modified = QFileInfo(path).lastModified();
    contents = file.readAll();
    copy.detail = file.error() == QFileDevice::NoError ? FileFault() : FileFault::ofQt(file.errorString());
    return copy.detail.isNone() ? ConflictCopy::Problem::None : ConflictCopy::Problem::Unreadable;
}

ConflictCopy settingsCopy(const QString& path, bool inDataFolder)
{
    ConflictCopy copy = copyAt(path, ConflictName::toolOf(QFileInfo(path).fileName(), SettingsFile::fileName),
                               ConflictCopy::Kind::Settings);
    QByteArray contents;
    copy.problem = readFile(copy, inDataFolder, contents);
    if (copy.readable()) {
        copy.settings = SettingsFile::decode(contents);
        copy.problem = holdsInstallationKey(copy.settings) ? copy.problem : ConflictCopy::Problem::NoKnownKey;
    }
    return copy;
}

} // namespace

ConflictScan::ConflictScan(const Vault& vault) : m_merge(vault.entries().records()) {}

ConflictScan ConflictScan::besideVault(const Vault& vault)
{
    ConflictScan scan(vault);
    const QDir folder(vault.dataFolder());
    QList<QByteArray> keys{vault.settings().installationKey};
    for (const QString& name : ConflictName::findIn(folder.path(), SettingsFile::fileName)) {
        scan.m_copies.append(settingsCopy(folder.filePath(name), true));
        if (scan.m_copies.last().readable() && !keys.contains(scan.m_copies.last().settings.installationKey)) {
            keys.append(scan.m_copies.last().settings.installationKey);
        }
    }
    for (const QString& name : ConflictName::findIn(folder.path(), VaultFile::fileName)) {
        ConflictCopy copy =
            copyAt(folder.filePath(name), ConflictName::toolOf(name, VaultFile::fileName), ConflictCopy::Kind::Vault);
        scan.readVaultCopy(copy, keys);
        scan.m_copies.append(copy);
    }
    scan.chooseLaterSettings(vault);
    scan.mergeReadable();
    return scan;
}

bool ConflictScan::anyCopyBeside(const Vault& vault)
{
    return !ConflictName::findIn(vault.dataFolder(), SettingsFile::fileName).isEmpty() ||
           !ConflictName::findIn(vault.dataFolder(), VaultFile::fileName).isEmpty();
}

ConflictScan ConflictScan::ofVaultFile(const Vault& vault, const QString& path)
{
    ConflictScan scan(vault);
    scan.m_renamesCopies = false;
    QList<QByteArray> keys{vault.settings().installationKey};
    const QString besideSettings = QFileInfo(path).dir().filePath(SettingsFile::fileName);
    if (QFileInfo::exists(besideSettings)) {
        if (const ConflictCopy settings = settingsCopy(besideSettings, false); settings.readable()) {
            keys.prepend(settings.settings.installationKey);
            scan.m_copies.append(settings);
        }
    }
    ConflictCopy copy = copyAt(path, {}, ConflictCopy::Kind::Vault);
    scan.readVaultCopy(copy, keys);
    scan.m_copies.append(copy);
    if (copy.readable()) {
        scan.chooseLaterSettings(vault);
    }
    scan.mergeReadable();
    return scan;
}

void ConflictScan::readVaultCopy(ConflictCopy& copy, const QList<QByteArray>& keys) const
{
    QByteArray contents;
    copy.problem = readFile(copy, m_renamesCopies, contents);
    if (!copy.readable()) {
        return;
    }
    copy.problem = ConflictCopy::Problem::NoKnownKey;
    for (const QByteArray& key : keys) {
        const LineCodec::DecodedFile decoded = LineCodec::decodeContents(contents, key);
        if (decoded.damagedLines > 0) {
            copy.problem = ConflictCopy::Problem::Damaged;
            return;
        }
        if (std::all_of(decoded.records.begin(), decoded.records.end(), isLegible)) {
            copy.records = decoded.records;
            copy.problem = ConflictCopy::Problem::None;
            return;
        }
    }
}

void ConflictScan::chooseLaterSettings(const Vault& vault)
{
    const ConflictCopy* later = nullptr;
    QDateTime laterSave = QFileInfo(vault.settingsPath()).lastModified();
    for (const ConflictCopy& copy : m_copies) {
        if (copy.kind == ConflictCopy::Kind::Settings && copy.readable() && copy.modified > laterSave) {
            later = &copy;
            laterSave = copy.modified;
        }
    }
    const Settings& own = vault.settings();
    if (later &&
        (later->settings.masterPassword != own.masterPassword || later->settings.askAtStart != own.askAtStart)) {
        m_settings = Settings{own.installationKey, later->settings.masterPassword, later->settings.askAtStart};
    }
}

void ConflictScan::mergeReadable()
{
    for (const ConflictCopy& copy : m_copies) {
        if (copy.kind == ConflictCopy::Kind::Vault && copy.readable()) {
            m_merge.take(copy.records);
        }
    }
}

QList<ConflictCopy> ConflictScan::readableCopies() const
{
    QList<ConflictCopy> readable;
    std::copy_if(m_copies.begin(), m_copies.end(), std::back_inserter(readable),
                 [](const ConflictCopy& copy) { return copy.readable(); });
    return readable;
}

QList<ConflictCopy> ConflictScan::unreadableCopies() const
{
    QList<ConflictCopy> unreadable;
    std::copy_if(m_copies.begin(), m_copies.end(), std::back_inserter(unreadable),
                 [](const ConflictCopy& copy) { return !copy.readable(); });
    return unreadable;
}

bool ConflictScan::holdsReadableVault() const
{
    return std::any_of(m_copies.begin(), m_copies.end(), [](const ConflictCopy& copy) {
        return copy.kind == ConflictCopy::Kind::Vault && copy.readable();
    });
}
