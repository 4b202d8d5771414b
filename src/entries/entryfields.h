#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// An entry as the windows show it: the six fields the user edits, line breaks of the description as '\n', and the
// date of its last update. Converts to and from the stored record.
struct EntryFields
{
    QString title;
    QString expiry;
    QString login;
    QString password;
    QString address;
    QString description;
    // dd/mm/yy of the update stamp; never stored, the stamp is made anew on every save.
    QString updatedOn;

    static EntryFields fromRecord(const QByteArray& record);

    // A title of nothing but white space counts as blank; a record is only stored with a title.
    bool hasTitle() const;
    // The record stamped with the time of the save. Line breaks of the description become the line-break mark.
    QByteArray toRecord(const QDateTime& savedAt) const;
};
