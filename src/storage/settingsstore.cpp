#include "storage/settingsstore.h"

#include "storage/backupfile.h"
#include "storage/cipher.h"
#include "storage/datafilecheck.h"
#include "storage/datafolderaccess.h"

#include <QFile>

#include <algorithm>

namespace {

// How often a change is made again over a file that another program keeps replacing while it is written.
constexpr int writeAttempts = 5;

bool isInstallationKey(const QByteArray& key)
{
    return !key.isEmpty() && std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A field read back that is empty after trimming spaces leaves the value held before.
void takeUnlessBlank(QByteArray& held, const QByteArray& read)
{
    if (!trimSpaces(read).isEmpty()) {
        held = read;
    }
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

bool sameSettings(const Settings& a, const Settings& b)
{
    return a.installationKey == b.installationKey && a.masterPassword == b.masterPassword &&
           a.askAtStart == b.askAtStart;
}

} // namespace

SettingsStore::SettingsStore(const DataFolderAccess& folder, std::function<void()> changed)
    : m_folder(folder), m_changed(std::move(changed))
{}

QString SettingsStore::path() const
{
    return m_folder.filePath(fileName());
}

bool SettingsStore::holdsKey() const
{
    return isInstallationKey(m_settings.installationKey);
}

bool SettingsStore::backupHoldsKey() const
{
    QByteArray contents;
    return readWhole(BackupFile::pathOf(path()), contents) &&
           isInstallationKey(SettingsFile::decode(contents).installationKey);
}

StorageResult SettingsStore::createIfMissing(const QDateTime& now) const
{
    if (DataFolderAccess::isMissing(path()) && backupHoldsKey()) {
        return StorageResult::failed({StorageReason::SettingsMissingBackupHoldsKey, fileName(), {}, m_folder.path()});
    }
    const Settings factory{SettingsFile::makeInstallationKey(now), Settings::factoryPassword, Settings::answerNo};
    return m_folder.createIfMissing(fileName(), SettingsFile::encode(factory));
}

StorageResult SettingsStore::read()
{
    QByteArray contents;
    if (StorageResult read = readFile(contents, m_stamp); !read.ok()) {
        return read;
    }
    const Settings read = SettingsFile::decode(contents);
    if (!isInstallationKey(read.installationKey)) {
        // Going on without the key would store new passwords barely enciphered, and a rewrite would lose the file.
        StorageResult refused = StorageResult::failed(StorageReason::NoInstallationKey, fileName());
        return backupHoldsKey() ? refused.then({StorageReason::BackupHoldsKey, fileName(), {}, m_folder.path()})
                                : refused;
    }
    take(read);
    return {};
}

void SettingsStore::take(const Settings& read)
{
    takeUnlessBlank(m_settings.installationKey, read.installationKey);
    takeUnlessBlank(m_settings.masterPassword, read.masterPassword);
    takeUnlessBlank(m_settings.askAtStart, read.askAtStart);
}

StorageResult SettingsStore::readFile(QByteArray& contents, FileStamp& stamp) const
{
    QFile file;
    if (StorageResult opened = m_folder.openForReading(file, fileName()); !opened.ok()) {
        return opened;
    }
    stamp = FileStamp::ofDescriptor(file.handle());
    contents = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return StorageResult::failed(StorageReason::CannotRead, fileName(), FileFault::ofQt(file.errorString()));
    }
    return {};
}

StorageResult SettingsStore::rereadChanged()
{
    QByteArray contents;
    FileStamp stamp;
    if (const StorageResult read = readFile(contents, stamp); !read.ok()) {
        StorageResult refused = StorageResult::failed(StorageReason::ChangedOutsideNothingWritten, fileName());
        refused.notes += read.notes;
        return refused;
    }
    m_stamp = stamp;
    const Settings read = SettingsFile::decode(contents);
    if (sameSettings(read, m_settings)) {
        return {};
    }
    take(read);
    m_changed();
    return {StorageResult::ChangedOutside, {{StorageReason::ChangedOutsideSettingsReread, fileName(), {}, {}}}};
}

StorageResult SettingsStore::writeFile(const QString& path, const QByteArray& file, AtomicWriter::Commit how,
                                       StorageReason failureNote)
{
    for (int attempt = 1;; ++attempt) {
        AtomicWriter writer(path);
        if (writer.open() && writer.append(file) && writer.commit(how, m_stamp)) {
            m_stamp = writer.stamp();
            return {};
        }
        if (!writer.foundOutsideChange() || attempt == writeAttempts) {
            return StorageResult::failed(StorageReason::CannotWrite, fileName(), writer.failure())
                .then(failureNote, fileName());
        }
        // Replaced while it was written: read again, and written only if it still holds what was shown.
        m_stamp = {};
        if (StorageResult reread = rereadChanged(); reread.status != StorageResult::Done) {
            return reread;
        }
    }
}

StorageResult SettingsStore::save(const QByteArray& masterPassword, bool askAtStart)
{
    if (StorageResult refused = m_folder.refusalWhileReadOnly(); !refused.ok()) {
        return refused;
    }
    if (!holdsKey()) {
        return StorageResult::failed(StorageReason::SettingsNotRead, fileName());
    }
    const bool removed = DataFolderAccess::isMissing(path());
    if (!removed && FileStamp::ofPath(path()) != m_stamp) {
        const StorageResult reread = rereadChanged();
        if (!reread.ok()) {
            return reread;
        }
    }
    const Settings changed{m_settings.installationKey, masterPassword,
                           askAtStart ? Settings::answerYes : Settings::answerNo};
    const QByteArray file = SettingsFile::encode(changed);
    const DataFileCheck::Target target = DataFileCheck::dataFile(m_folder.path(), fileName());
    if (target.refused()) {
        return StorageResult::refused(target.refusal).then(StorageReason::NothingWritten);
    }
    const StorageReason kept = removed ? StorageReason::SettingsRemovedUnsaved : StorageReason::PreviousSettingsKept;
    const AtomicWriter::Commit how =
        removed ? AtomicWriter::Commit::CreateNew : AtomicWriter::Commit::ReplaceKeepingBackup;
    if (StorageResult written = writeFile(target.path, file, how, kept); written.status != StorageResult::Done) {
        return written;
    }
    // The password checked from now on is the one the file holds, even an empty one.
    const Settings read = SettingsFile::decode(file);
    takeUnlessBlank(m_settings.installationKey, read.installationKey);
    m_settings.masterPassword = read.masterPassword;
    m_settings.askAtStart = read.askAtStart;
    m_changed();
    if (removed) {
        return {StorageResult::Done, {{StorageReason::SettingsRemovedRewritten, fileName(), {}, {}}}};
    }
    return {};
}
