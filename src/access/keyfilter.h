#pragma once

#include <QString>

// The characters a login or password may hold. The entry windows allow digits, letters with the Portuguese accents,
// common punctuation, the space and the two line-break codes; the settings window allows only digits, letters
// and six symbols.
namespace KeyFilter {

enum class CharacterSet
{
    EntryWindow,
    Settings,
};

// The allowed characters, in their listed order.
const QString& allowedCharacters(CharacterSet set);

// True when every character can be stored in a record field (line breaks included): no field separator, no
// line-break mark, nothing the data files' Windows-1252 cannot hold.
bool isStorable(const QString& text);

} // namespace KeyFilter
