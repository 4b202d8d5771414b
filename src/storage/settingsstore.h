#pragma once

#include "storage/atomicwriter.h"
#include "storage/filestamp.h"
#include "storage/settingsfile.h"
#include "storage/storageresult.h"

#include <QDateTime>

#include <functional>

class DataFolderAccess;

// cnfg.tab in the data folder: the installation key, the password and the answer to asking it at start, as last read
// or written. A field read back blank leaves the value held before. Tells its owner whenever the settings held change.
class SettingsStore
{
public:
    SettingsStore(const DataFolderAccess& folder, std::function<void()> changed);

    static QString fileName() { return QString::fromLatin1(SettingsFile::fileName); }
    QString path() const;
    const Settings& settings() const { return m_settings; }
    const FileStamp& stamp() const { return m_stamp; }
    bool holdsKey() const;

    // Creates the file with a new installation key, the factory password and the answer No when it is missing; refused
    // when its backup holds a key, which a new key would lose.
    StorageResult createIfMissing(const QDateTime& now) const;
    // Fails, taking nothing, when the file gives no installation key.
    StorageResult read();
    // Rewrites the file with the key held, the password and the answer, and reads them back. Refused when the file
    // was changed outside the program; it is read again then. A file removed meanwhile is written again with the key
    // held here, the only way left to read pswd.tab.
    StorageResult save(const QByteArray& masterPassword, bool askAtStart);

private:
    void take(const Settings& read);
    StorageResult readFile(QByteArray& contents, FileStamp& stamp) const;
    StorageResult rereadChanged();
    // Writes the file, unless another program replaces it meanwhile with other settings; a failure's message ends
    // with the note given.
    StorageResult writeFile(const QString& path, const QByteArray& file, AtomicWriter::Commit how,
                            StorageReason failureNote);
    bool backupHoldsKey() const;

    const DataFolderAccess& m_folder;
    std::function<void()> m_changed;
    Settings m_settings;
    FileStamp m_stamp;
};
