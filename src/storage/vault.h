#pragma once

#include "storage/datafolderaccess.h"
#include "storage/entrychange.h"
#include "storage/entrystore.h"
#include "storage/settingsstore.h"
#include "storage/storageresult.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

// The user's data as the program holds it: the settings of cnfg.tab (SettingsStore) and the sorted entry records of
// pswd.tab (EntryStore), both in the data folder, and the start that reads them (VaultOpening). Every change rewrites
// the whole file, atomically, keeping the file it replaces as <name>.bak, and the lists then hold exactly what the
// file holds. A change that fails leaves the file and the lists as they were. A file that another program changed
// since it was last read or written is never written over: it is read again first. Tells the windows whenever the
// lists change.
class Vault : public QObject
{
    Q_OBJECT

public:
    explicit Vault(const QString& dataFolder, QObject* parent = nullptr);

    // Start-up: fails, with nothing overwritten, when a file cannot be created or read, when cnfg.tab gives no
    // installation key, or when cnfg.tab is missing while its backup holds a key; the program must not go on then.
    // A vault with damaged lines is copied once, as it is, to pswd.tab.danificado (or the next free number, see
    // DamagedCopy) before the start goes on; the result's message then tells the user.
    StorageResult open(const QDateTime& now = QDateTime::currentDateTime());

    // Asked, with a question for the user, before a data file of unusual size is read; without it such a file is
    // refused.
    void setLargeFileConfirmation(std::function<bool(const QString& path, qint64 megabytes)> confirm)
    {
        m_folder.setLargeFileConfirmation(std::move(confirm));
    }

    // The lines of the pswd.tab last read that no save writes, and the copy that keeps that file's bytes; no lines
    // once the program has written the file again.
    using Damage = EntryStore::Damage;
    const Damage& damage() const { return m_entries.damage(); }
    // From now on nothing is written: open() creates no file and removes none, and every change is refused with
    // this reason, in Portuguese, which says why the files must be left alone.
    void setReadOnly(const QString& reason) { m_folder.setReadOnly(reason); }
    bool isReadOnly() const { return m_folder.isReadOnly(); }

    const Settings& settings() const { return m_settings.settings(); }
    const EntryList& entries() const { return m_entries.entries(); }
    QString dataFolder() const { return m_folder.path(); }
    QString vaultPath() const { return m_entries.path(); }
    QString settingsPath() const { return m_settings.path(); }
    // What each file was when last read or written, for a writer outside the vault to notice a change since.
    const FileStamp& vaultStamp() const { return m_entries.stamp(); }
    const FileStamp& settingsStamp() const { return m_settings.stamp(); }

    // Reads both files again after they were replaced whole outside the vault (a merge of copies), and tells the
    // windows.
    StorageResult readAgain();

    // When pswd.tab was changed outside the program, an entry is still added to what it holds now, and an entry
    // replaced or deleted if the record shown is still there.
    StorageResult change(const EntryChange& change) { return m_entries.change(change); }
    StorageResult addEntry(const QByteArray& record) { return change(EntryChange::adding({record})); }
    // Adds every record in one rewrite: all of them are stored, or none.
    StorageResult addEntries(const QList<QByteArray>& records) { return change(EntryChange::adding(records)); }
    // The record at index must still be shown; otherwise nothing changes.
    StorageResult replaceEntry(qsizetype index, const QByteArray& shown, const QByteArray& replacement)
    {
        return change(EntryChange::replacing(index, shown, replacement));
    }
    StorageResult deleteEntry(qsizetype index, const QByteArray& shown)
    {
        return change(EntryChange::deleting(index, shown));
    }

    StorageResult saveSettings(const QByteArray& masterPassword, bool askAtStart)
    {
        return m_settings.save(masterPassword, askAtStart);
    }

signals:
    void entriesChanged();
    void settingsChanged();
    // A save found pswd.tab changed by another program and the list now holds what it read there.
    void entriesRereadAfterOutsideChange();

private:
    DataFolderAccess m_folder;
    SettingsStore m_settings;
    EntryStore m_entries;
};
