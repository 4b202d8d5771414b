#include "access/keyfilter.h"

#include "storage/windows1252.h"

#include <algorithm>

namespace {

const QString lettersAndDigits = QStringLiteral("0123456789"
                                                "abcdefghijklmnopqrstuvwxyz"
                                                "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                "ÀÁÂÃÄÈÉÊËÌÍÎÏÒÓÔÕÖÙÚÛÜ"
                                                "àáâãäèéêëìíîïòóôõöùúûü"
                                                "ÑñÇç");

const QString entryWindowSet = lettersAndDigits + QStringLiteral(".,:;<>=(){}[]'") + QStringLiteral("\"\"") +
                               QStringLiteral("-+/\\@&*!¿?|%#$_") + QStringLiteral(" \r\n");

const QString settingsSet = lettersAndDigits + QStringLiteral("@&*#$_");

} // namespace

namespace KeyFilter {

const QString& allowedCharacters(CharacterSet set)
{
    return set == CharacterSet::EntryWindow ? entryWindowSet : settingsSet;
}

bool isStorable(const QString& text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c != QChar(0xA7) && c != QChar(0xA5) && Windows1252::canEncode(c); });
}

} // namespace KeyFilter
