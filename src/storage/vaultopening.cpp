#include "storage/vaultopening.h"

#include "storage/datafilecheck.h"
#include "storage/datafolderaccess.h"
#include "storage/entrystore.h"
#include "storage/leftoverfiles.h"
#include "storage/settingsstore.h"
#include "storage/vaultfile.h"

#include <QFile>

StorageResult VaultOpening::run(const QDateTime& now)
{
    StorageResult result = checkDataFiles();
    if (result.ok()) {
        result = createAndRead(now);
    }
    if (result.ok()) {
        result = readEntries();
    }
    if (!result.ok()) {
        result.then(StorageReason::ProgramEnds);
        return result;
    }
    removeLeftovers();
    return result;
}

StorageResult VaultOpening::checkDataFiles() const
{
    for (const QString& name : {SettingsStore::fileName(), EntryStore::fileName()}) {
        const DataFileCheck::Target target = DataFileCheck::dataFile(m_folder.path(), name);
        if (target.refused()) {
            return StorageResult::refused(target.refusal).then(StorageReason::NothingReadOrWritten);
        }
    }
    return {};
}

StorageResult VaultOpening::createAndRead(const QDateTime& now)
{
    // The vault is created only once the settings gave a key.
    StorageResult result = m_settings.createIfMissing(now);
    if (result.ok()) {
        result = m_settings.read();
    }
    if (result.ok()) {
        result = m_folder.createIfMissing(EntryStore::fileName(), VaultFile::emptyFile());
    }
    return result;
}

StorageResult VaultOpening::readEntries()
{
    qsizetype damaged = 0;
    QFile vault;
    m_entries.forgetDamage();
    StorageResult result = m_entries.read(vault, damaged);
    if (result.ok() && damaged > 0) {
        result = m_entries.keepDamaged(vault, damaged);
        if (result.ok()) {
            const StorageReason found =
                m_folder.isReadOnly() ? StorageReason::DamagedReadOnly : StorageReason::DamagedAtStart;
            result.then(EntryStore::damageNote(found, {damaged, m_entries.damage().copy}));
        }
    }
    return result;
}

void VaultOpening::removeLeftovers() const
{
    if (!m_folder.isReadOnly()) {
        LeftoverFiles::remove(m_settings.path());
        LeftoverFiles::remove(m_entries.path());
    }
}
