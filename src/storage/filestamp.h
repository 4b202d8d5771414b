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

    // Of the file open at the descriptor; no stamp (never equal to a file's) when fstat fails.
    static FileStamp ofDescriptor(int descriptor);
    // Of the file at the path, as reading it would open it; no stamp when there is nothing there.
    static FileStamp ofPath(const QString& path);

    // Whether this is a file's stamp rather than none.
    bool isKnown() const { return size >= 0; }

    bool operator==(const FileStamp&) const = default;
};
