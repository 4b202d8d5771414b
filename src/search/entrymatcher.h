#pragma once

#include <QList>
#include <QString>

class EntryList;

// Finds the entries whose title, login or address contains a text, without regard to letter case or accents:
// "joao" finds "João", "SAO" finds "são". The fields are prepared once, when the matcher is made; make a new one
// when the list changes.
class EntryMatcher
{
public:
    explicit EntryMatcher(const EntryList& entries);

    // The indexes in the full list, in its order, of the entries that hold the text; every index for an empty text.
    QList<qsizetype> matching(const QString& text) const;

    // The text as it is compared: compatibility forms and accents taken apart, the accents dropped, the letter case
    // folded.
    static QString folded(const QString& text);

private:
    // Per entry its three searched fields, folded and kept apart so that no match runs from one field into another.
    QList<QString> m_searchable;
};
