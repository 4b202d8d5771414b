#pragma once

#include <QString>
#include <QValidator>

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

// The key code to deliver to the box for a typed key: the key itself when allowed (Backspace always is), otherwise 0.
char16_t LimitaChars(char16_t key, CharacterSet set);

} // namespace KeyFilter

// Keeps a line box's text within a character set however the text arrives: typed, pasted, dropped or composed by an
// input method. An edit that would bring in a refused character, or a line break, is refused whole.
class CharacterSetValidator : public QValidator
{
    Q_OBJECT

public:
    CharacterSetValidator(KeyFilter::CharacterSet set, QObject* parent);
    State validate(QString& input, int& position) const override;

private:
    KeyFilter::CharacterSet m_set;
};

// For the boxes without a character set (title, address): refuses the record's field separator and line-break mark,
// which would split or corrupt the record, characters that the data files cannot hold, and line breaks.
class RecordTextValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;

    // True when every character can be stored in a record field (line breaks included).
    static bool isStorable(const QString& text);
};
