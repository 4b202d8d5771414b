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

constexpr char16_t backspace = 8;

// A one-line box never takes a line break: pasted into a title or login it would end up as the line-break mark.
bool holdsLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

bool allowsAll(const QString& text, KeyFilter::CharacterSet set)
{
    const QString& allowed = KeyFilter::allowedCharacters(set);
    return std::all_of(text.begin(), text.end(), [&allowed](QChar c) { return allowed.contains(c); });
}

} // namespace

namespace KeyFilter {

const QString& allowedCharacters(CharacterSet set)
{
    return set == CharacterSet::EntryWindow ? entryWindowSet : settingsSet;
}

char16_t LimitaChars(char16_t key, CharacterSet set)
{
    if (key == backspace) {
        return key;
    }
    return allowedCharacters(set).contains(QChar(key)) ? key : 0;
}

} // namespace KeyFilter

CharacterSetValidator::CharacterSetValidator(KeyFilter::CharacterSet set, QObject* parent)
    : QValidator(parent), m_set(set)
{}

QValidator::State CharacterSetValidator::validate(QString& input, int&) const
{
    return allowsAll(input, m_set) && !holdsLineBreak(input) ? Acceptable : Invalid;
}

QValidator::State RecordTextValidator::validate(QString& input, int&) const
{
    return isStorable(input) && !holdsLineBreak(input) ? Acceptable : Invalid;
}

bool RecordTextValidator::isStorable(const QString& text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c != QChar(0xA7) && c != QChar(0xA5) && Windows1252::canEncode(c); });
}
