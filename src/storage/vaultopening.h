#pragma once

#include "storage/storageresult.h"

#include <QDateTime>

class DataFolderAccess;
class EntryStore;
class SettingsStore;

// The start of the program over its data folder: refuses a data folder or file that others could change, or that
// is no regular file; creates the files that are missing (cnfg.tab first, since nothing is written beside a cnfg.tab
// that is refused), reads both, keeps a damaged pswd.tab in a copy, and removes what interrupted saves left behind.
// A failure's message ends by telling the user that the program will close.
class VaultOpening
{
public:
    VaultOpening(const DataFolderAccess& folder, SettingsStore& settings, EntryStore& entries)
        : m_folder(folder), m_settings(settings), m_entries(entries)
    {}

    StorageResult run(const QDateTime& now);

private:
    StorageResult checkDataFiles() const;
    StorageResult createAndRead(const QDateTime& now);
    StorageResult readEntries();
    void removeLeftovers() const;

    const DataFolderAccess& m_folder;
    SettingsStore& m_settings;
    EntryStore& m_entries;
};
