#include "storage/vault.h"

#include "storage/vaultopening.h"

#include <QFile>

Vault::Vault(const QString& dataFolder, QObject* parent)
    : QObject(parent), m_folder(dataFolder), m_settings(m_folder, [this]() { emit settingsChanged(); }),
      m_entries(m_folder, m_settings,
                {[this]() { emit entriesChanged(); }, [this]() { emit entriesRereadAfterOutsideChange(); }})
{}

StorageResult Vault::open(const QDateTime& now)
{
    return VaultOpening(m_folder, m_settings, m_entries).run(now);
}

StorageResult Vault::readAgain()
{
    StorageResult result = m_settings.read();
    qsizetype damaged = 0;
    QFile file;
    if (result.ok()) {
        result = m_entries.read(file, damaged);
    }
    emit settingsChanged();
    emit entriesChanged();
    return result;
}
