#pragma once

#include <QString>

// What kept a step on a file or folder from succeeding, or a data file from being used, as the system and the checks
// of the data folder found it: a kind, the system's error number, and the paths and names the user needs to know.
// The words are chosen above storage.
struct FileFault
{
    enum class Kind
    {
        None,
        // A system call failed with the error number.
        System,
        // Qt failed for a reason of its own, given in its text.
        Qt,
        // The backup at the path could not be kept, for the error number.
        BackupNotKept,
        // The folder at the path could not be synced to disk, for the error number.
        FolderNotSynced,
        // Another program replaced the file while it was written; its version stays at the path, and putting it back
        // failed for the error number.
        ReplacedWhileWriting,
        // Another program changed the file while it was written.
        ChangedWhileWriting,
        // Every numbered copy of a damaged file is taken.
        NoFreeDamagedCopy,
        // The data folder at the path could not be examined (error number), is no folder, is the owner's, not the
        // user's, or may be written to by others (permissions).
        FolderUnexamined,
        NotAFolder,
        FolderOfOtherUser,
        FolderOpenToOthers,
        // The same of a folder at the path on the way to the folder below.
        AncestorUnexamined,
        AncestorOfOtherUser,
        AncestorOpenToOthers,
        // The same of the data file at the path, which may also be of another type than a regular file.
        FileUnexamined,
        NotRegular,
        FileOfOtherUser,
        FileOpenToOthers,
        // The symbolic link at the data file's place is the owner's, cannot be read (error number), or leads to
        // nothing, to another link, or to a file of another type.
        LinkOfOtherUser,
        LinkUnreadable,
        LinkTargetMissing,
        LinkToLink,
        LinkToOtherType,
    };
    // What a file that is no regular file is.
    enum class Type
    {
        Folder,
        Pipe,
        Device,
        Socket,
        Special,
    };

    Kind kind = Kind::None;
    int error = 0;
    QString path = {};
    QString below = {};
    // Whose the file or folder is, and who runs the program.
    QString owner = {};
    QString user = {};
    uint permissions = 0;
    Type type = Type::Special;
    // Where the data file was reached through a symbolic link: the link, and the target it names.
    QString link = {};
    QString linkTarget = {};
    // Qt's own words.
    QString text = {};

    bool isNone() const { return kind == Kind::None; }

    static FileFault system(int errorNumber) { return {Kind::System, errorNumber}; }
    static FileFault at(Kind kind, const QString& path, int errorNumber = 0) { return {kind, errorNumber, path}; }
    // Qt writes the system's English text for a failed call as a file's errorString(): it is turned back into its
    // number here; a text of Qt's own is kept.
    static FileFault ofQt(const QString& qtText);
};
