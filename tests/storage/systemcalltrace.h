#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>

// What a program did to the files of one folder, read from `strace -f -xx` output: each step that changes a file's
// bytes or a name, or syncs them, in the order the kernel saw them. Files are numbered; those the folder held before
// are numbered from the names given.
struct TraceStep
{
    enum Kind
    {
        Write,      // bytes at an offset of a file (a truncation is a write of nothing at offset 0 that cuts)
        Truncate,   // the file cut to nothing
        SyncFile,   // fsync or fdatasync of a file
        SyncFolder, // fsync of the folder
        Create,     // a new name for a new, empty file
        Rename,     // name to otherName, replacing what otherName held
        Exchange,   // name and otherName swap their files
        Link,       // otherName becomes a second name of name's file
        Unlink,
    };

    Kind kind;
    int file = -1;
    int otherFile = -1; // what otherName held before
    QByteArray name;
    QByteArray otherName;
    qint64 offset = 0;
    QByteArray bytes;

    bool changesNames() const { return kind >= Create; }
};

namespace SystemCallTrace {

// The steps in the folder, whose files before the trace had the numbers given for their names.
QList<TraceStep> read(const QByteArray& trace, const QByteArray& folder, const QMap<QByteArray, int>& filesBefore);

} // namespace SystemCallTrace
