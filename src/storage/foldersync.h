#pragma once

#include "storage/filefault.h"

#include <QString>

// Makes the names a save created or renamed in a folder durable.
namespace FolderSync {

// Syncs the folder that holds the path. Returns why it failed, or none on success and where the file system has no
// such sync.
FileFault of(const QString& path);

} // namespace FolderSync
