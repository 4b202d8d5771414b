#pragma once

#include <QString>

#include <sys/types.h>

// What the file system says about a file's identity and last change: enough to notice that another program has
// replaced or rewritten it, without reading it.
struct FileStamp
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    qint64 modifiedNs = -1;
    // The last change of the file's status, which no program can set back: it tells a rewrite whose time was put
    // back (touch -d, cp -p) or a file moved in (mv) from the file read. A rename or exchange also sets it.
    qint64 statusChangedNs = -1;

    // Of the file open at the descriptor; no stamp (never equal to a file's) when fstat fails.
    static FileStamp ofDescriptor(int descriptor);
    // Of the file at the path, as reading it would open it; no stamp when there is nothing there.
    static FileStamp ofPath(const QString& path);

    // Whether this is a file's stamp rather than none.
    bool isKnown() const { return size >= 0; }

    bool operator==(const FileStamp&) const = default;
    // The same file with the same contents as far as its status tells, though it may have been renamed since.
    bool sameBesidesStatusChange(const FileStamp& other) const;
};
