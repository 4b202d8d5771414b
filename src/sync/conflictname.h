#pragma once

#include <QString>
#include <QStringList>

// The names file-sync programs give the copy they keep of a file changed on two computers before they synced, the
// copy beside the file it conflicts with:
//   Syncthing            pswd.sync-conflict-20261207-101010-ABCDEFG.tab
//   Nextcloud, ownCloud  pswd (conflicted copy 2026-12-07 101010).tab, also with the user's name before the date
//   older ownCloud       pswd_conflict-20261207-101010.tab
//   Dropbox              pswd (Maria's conflicted copy 2026-12-07).tab, perhaps followed by " (1)"
//   Seafile              pswd (SFConflict maria@example.com 2026-12-07-10-10-10).tab
namespace ConflictName {

// The program that gives a file of that name as a conflict copy of the data file, or nothing.
QString toolOf(const QString& fileName, const QString& dataFileName);

// The conflict copies of the data file in the folder, by name.
QStringList findIn(const QString& folder, const QString& dataFileName);

} // namespace ConflictName
