#pragma once

#include "storage/filefault.h"

#include <QFile>
#include <QString>

// Whether the data folder and its files can be trusted. As OpenSSH does with a key file, a data file is used only
// when nobody but the user can change it or the folder it lies in: otherwise another user could swap it, between
// two saves, for a link to any file the user owns, and the next save would overwrite that file. Every refusal says
// what was found, with the paths, owners and permissions that the words for the user name.
namespace DataFileCheck {

// Above this size a data file is read only when the user agrees: far more than any real vault (about 850 bytes an
// entry, so some 300,000 entries), and reading it takes long and much memory.
inline constexpr qint64 largeFileSize = qint64(256) << 20;

// None when the folder is a folder of the user's own that neither group nor others may write to, on a path that
// passes ancestorsRefusal().
FileFault folderRefusal(const QString& folder);

// None when every folder above this one up to the root, along the path as written and along the path with its
// links resolved, belongs to the user or to root and may be written to by nobody else, unless it is sticky like /tmp.
FileFault ancestorsRefusal(const QString& folder);

struct Target
{
    // Where the file is read and written: the file in the folder, or the target of the symbolic link there.
    QString path;
    // None when the file may be used.
    FileFault refusal;

    bool refused() const { return !refusal.isNone(); }
};

// Checks the folder, then its file of that name, which may be missing (it is then created in the folder), a
// regular file of the user's own that neither group nor others may write to, or a symbolic link of the user's own
// straight to such a file in a folder that passes the same check. Anything else is refused.
Target dataFile(const QString& folder, const QString& name);

// Opens a checked file for reading without following a link and without waiting on a pipe, and makes sure that what
// was opened is still a regular file of the user's own that nobody else may write to. Returns none on success,
// otherwise why it cannot be read.
FileFault openForReading(QFile& file, const QString& path);

} // namespace DataFileCheck
