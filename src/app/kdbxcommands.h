#pragma once

#include "app/commandline.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class EntryList;
class Vault;

// The command-line jobs' side for KeePass databases: the entries into a new database protected by a password, and
// the entries of one added to the vault. The password comes from the terminal (see TerminalPassword).
namespace KdbxCommands {

// A path the jobs treat as a KeePass database: its name ends in .kdbx.
bool isDatabasePath(const QString& path);

// Writes only the encrypted file, readable by its owner only; an existing file is never written over.
CommandOutput exportEntries(const EntryList& entries, const QString& path, const QDateTime& now);
// Brings in the entries of every group but the recycle bin, as ImportMerge merges them; those the vault cannot hold
// are named and make the status non-zero.
CommandOutput importEntries(const QByteArray& file, const Vault& vault, const QString& path, const QDateTime& now);

} // namespace KdbxCommands
