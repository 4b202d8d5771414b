#pragma once

#include "storage/filefault.h"
#include "storage/filestamp.h"
#include "storage/settingsfile.h"
#include "sync/entrymerge.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class Vault;

// A copy of a data file found for merging, and what reading it gave.
struct ConflictCopy
{
    enum class Kind
    {
        Vault,
        Settings,
    };
    enum class Problem
    {
        None,
        // Another user could change it, or it is no regular file: the detail says why.
        Refused,
        // The system refused to read it: the detail says why.
        Unreadable,
        TooLarge,
        // Lines that no writer makes.
        Damaged,
        // No installation key known here reads it as a vault, or a settings file holds none.
        NoKnownKey,
    };

    QString path;
    // The file-sync program that named it; empty for a file named by the user.
    QString tool;
    Kind kind = Kind::Vault;
    Problem problem = Problem::None;
    FileFault detail;
    FileStamp stamp;
    QDateTime modified;
    QList<QByteArray> records;
    Settings settings;

    bool readable() const { return problem == Problem::None; }
};

// The copies to merge into an open vault, read, and what merging them would do. Nothing is changed here.
class ConflictScan
{
public:
    // The conflict copies of pswd.tab and cnfg.tab beside them. A vault copy is read under the vault's installation
    // key or that of a settings copy; the settings of the later save, the vault's or a copy's, are kept.
    static ConflictScan besideVault(const Vault& vault);
    // Whether a file beside the data files is named as a conflict copy of one; the names alone are looked at, so
    // that a start with none does not go through the vault's records.
    static bool anyCopyBeside(const Vault& vault);
    // Another pswd.tab, read under the installation key of the cnfg.tab beside it, else under the vault's own; the
    // password and start answer of that cnfg.tab are kept when it was saved later than the vault's.
    static ConflictScan ofVaultFile(const Vault& vault, const QString& path);

    const QList<ConflictCopy>& copies() const { return m_copies; }
    QList<ConflictCopy> readableCopies() const;
    QList<ConflictCopy> unreadableCopies() const;
    // Whether some copy of pswd.tab can be merged.
    bool holdsReadableVault() const;
    const EntryMerge& merge() const { return m_merge; }
    // The settings file to write: the vault's key with the password and start answer of a later save.
    const std::optional<Settings>& settings() const { return m_settings; }
    // Merged copies are renamed; a file the user named on the command line is left where it is.
    bool renamesCopies() const { return m_renamesCopies; }

private:
    explicit ConflictScan(const Vault& vault);
    void readVaultCopy(ConflictCopy& copy, const QList<QByteArray>& keys) const;
    void chooseLaterSettings(const Vault& vault);
    void mergeReadable();

    QList<ConflictCopy> m_copies;
    EntryMerge m_merge;
    std::optional<Settings> m_settings;
    bool m_renamesCopies = true;
};
