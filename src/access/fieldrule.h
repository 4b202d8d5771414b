#pragma once

#include "access/keyfilter.h"

#include <QString>

// What one line box of the entry and settings windows takes: at most a number of characters, from a set. The rule
// judges an edit by the text before and after it and refuses it whole, with a notice that says why; it never cuts or
// filters what arrives. Text the program put into the box is not judged: a stored login with a refused character,
// or longer than the limit, can be shown and corrected, but nothing refused can be added to it.
class FieldRule
{
public:
    enum class Characters
    {
        // The login and password set of the entry windows.
        EntryWindow,
        // The password set of the settings window.
        Settings,
        // Whatever a record field can store (title, address).
        Storable,
    };

    // The subject names the field as the notices begin with it: "A senha", "O login".
    FieldRule(const QString& subject, int limit, Characters characters);

    // An empty text when the edit from before to after is taken, otherwise the notice that tells the user why not.
    QString refusal(const QString& before, const QString& after) const;

private:
    bool accepts(const QString& character) const;

    QString m_subject;
    int m_limit;
    Characters m_characters;
};
