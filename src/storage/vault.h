#pragma once

#include "storage/entrylist.h"
#include "storage/settingsfile.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

class QFile;

// What became of a change to a data file. Messages are for the user, in Portuguese; a message that comes with Done
// is a warning to show before going on.
struct StorageResult
{
    enum Status
    {
        Done,
        // The entry shown is no longer the one at its index: nothing was changed.
        StaleEntry,
        Failed,
    };

    Status status = Done;
    QString message;

    bool ok() const { return status == Done; }
    static StorageResult failed(const QString& message) { return {Failed, message}; }
};

// The user's data as the program holds it: the settings of cnfg.tab and the sorted entry records of pswd.tab, both
// in the data folder. Every change rewrites the whole file, atomically, and the lists then hold exactly what the file
// holds, in the order reading it gives. A change that fails leaves the file and the lists as they were.
class Vault : public QObject
{
    Q_OBJECT

public:
    explicit Vault(const QString& dataFolder, QObject* parent = nullptr);

    // Start-up: refuses a data folder or file that others could change, or that is no regular file; creates the
    // files that are missing (a new installation key, the factory password, "Não", and an empty vault), then reads
    // both. Fails, with nothing overwritten, when a file cannot be created or read, or when cnfg.tab gives no
    // installation key; the program must not go on then. A vault with damaged lines is copied once, as it is, to
    // pswd.tab.danificado before the start goes on; the result's message then tells the user.
    StorageResult open(const QDateTime& now = QDateTime::currentDateTime());

    // Asked, with a question for the user, before a data file of unusual size is read; without it such a file is
    // refused.
    void setLargeFileConfirmation(std::function<bool(const QString& question)> confirm)
    {
        m_confirmLargeFile = std::move(confirm);
    }

    const Settings& settings() const { return m_settings; }
    const EntryList& entries() const { return m_entries; }
    QString dataFolder() const { return m_dataFolder; }
    QString vaultPath() const;
    QString settingsPath() const;

    StorageResult addEntry(const QByteArray& record);
    // The record at index must still be shown; otherwise nothing changes.
    StorageResult replaceEntry(qsizetype index, const QByteArray& shown, const QByteArray& replacement);
    StorageResult deleteEntry(qsizetype index, const QByteArray& shown);

    // Rewrites cnfg.tab with the installation key, the new password and the answer, and reads it back.
    StorageResult saveSettings(const QByteArray& masterPassword, bool askAtStart);

signals:
    void entriesChanged();
    void settingsChanged();

private:
    StorageResult checkDataFiles() const;
    StorageResult openForReading(QFile& file, const char* name) const;
    StorageResult keepDamagedVault(qsizetype damagedLines) const;
    StorageResult createMissingFiles(const QDateTime& now);
    StorageResult readSettings();
    StorageResult readEntries(EntryList& into, qsizetype& damagedLines) const;
    StorageResult writeVault(const QByteArray& file, EntryList&& changed);

    QString m_dataFolder;
    Settings m_settings;
    EntryList m_entries;
    std::function<bool(const QString&)> m_confirmLargeFile;
};
