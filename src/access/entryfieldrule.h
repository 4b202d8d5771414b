#pragma once

#include "access/fieldrule.h"
#include "storage/entryrecord.h"

#include <QString>

// What each field of an entry the user edits may hold, in one table: its limit, the characters a box of the entry
// windows takes from the keyboard, whether it holds line breaks, and the caption that states the limit. Every
// field stores any character the data files can hold; the typed set narrows only what a box takes.
struct EntryFieldRule
{
    EntryRecord::Field field;
    // The field as the notices begin with it: "O título".
    const char* subject;
    int limit;
    FieldRule::Characters typed;
    bool lineBreaks;
    // The caption with %1 for the limit: "(Máx %1 chars)".
    const char* captionForm;

    // The rule of a title, login, password, address or description field.
    static const EntryFieldRule& of(EntryRecord::Field field);

    // "(Máx 45 chars)".
    QString caption() const;
    // What a one-line box of the field takes.
    FieldRule boxRule() const;
    // True when the field can store the character (one code point): any storable one, a line break only in a field
    // that holds line breaks.
    bool stores(const QString& character) const;
    bool storesAll(const QString& text) const;
};
