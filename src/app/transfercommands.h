#pragma once

#include "app/commandline.h"

#include <QDateTime>
#include <QString>

// The command-line jobs that copy every entry of a data folder into a CSV file and add the entries of one. Both
// leave the folder alone while a copy of the program has it open, refuse a vault with damaged lines, and say what
// went wrong on standard error.
namespace TransferCommands {

// Writes a new file, readable by its owner only; an existing file is never written over.
CommandOutput exportTo(const QString& dataFolder, const QString& csvPath, const QDateTime& now);
// Brings in every row that can be stored, as ImportMerge merges them, in one rewrite of pswd.tab, and says which rows
// were left out and why; ends with status 1 when a row could not be stored whole, or when nothing was read.
CommandOutput importFrom(const QString& dataFolder, const QString& csvPath, const QDateTime& now);

// Merges the entries of another pswd.tab, read under the installation key of the cnfg.tab beside it or else the
// folder's own, as the copies a file-sync program leaves are merged; the file itself is left as it is.
CommandOutput mergeFrom(const QString& dataFolder, const QString& vaultPath, const QDateTime& now);

} // namespace TransferCommands
