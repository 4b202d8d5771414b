#pragma once

#include <QString>

// Makes the names a save created or renamed in a folder durable.
namespace FolderSync {

// Syncs the folder that holds the path. Returns why it failed, for the user, or an empty text on success and where
// the file system has no such sync.
QString of(const QString& path);

} // namespace FolderSync
