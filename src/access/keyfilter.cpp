#include "access/keyfilter.h"

#include "storage/windows1252.h"

#include <QLineEdit>

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
bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool holdsLineBreak(const QString& text)
{
    return std::any_of(text.begin(), text.end(), isLineBreak);
}

// True when no character outside the set, and no line break, occurs more often in the text than it did before the
// edit.
bool addsNoRefusedCharacter(const QString& text, const QString& before, KeyFilter::CharacterSet set)
{
    const QString& allowed = KeyFilter::allowedCharacters(set);
    return std::all_of(text.begin(), text.end(), [&](QChar c) {
        if (allowed.contains(c) && !isLineBreak(c)) {
            return true;
        }
        const qsizetype held = before.count(c);
        return held > 0 && text.count(c) <= held;
    });
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
    : QValidator(parent), m_set(set), m_box(qobject_cast<QLineEdit*>(parent))
{
    if (m_box) {
        m_textBeforeEdit = m_box->text();
        connect(m_box, &QLineEdit::textChanged, this, [this](const QString& text) { m_textBeforeEdit = text; });
    }
}

QValidator::State CharacterSetValidator::validate(QString& input, int&) const
{
    // A box that is not modified holds what the program put there (or the user undid back to it).
    if (m_box && !m_box->isModified()) {
        return Acceptable;
    }
    return addsNoRefusedCharacter(input, m_textBeforeEdit, m_set) ? Acceptable : Invalid;
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
