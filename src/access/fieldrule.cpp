#include "access/fieldrule.h"

namespace {

bool isLineBreak(const QString& character)
{
    return character == QLatin1String("\r") || character == QLatin1String("\n");
}

QString characterRefusal(const QString& character)
{
    if (isLineBreak(character)) {
        return QStringLiteral("Quebras de linha não são aceitas neste campo.");
    }
    if (character == QLatin1String(" ")) {
        return QStringLiteral("O espaço não é aceito neste campo.");
    }
    // A single code unit that prints nothing: a control character or half of a broken surrogate pair.
    if (character.size() == 1 && !character.front().isPrint()) {
        return QStringLiteral("Caracteres de controle não são aceitos neste campo.");
    }
    return QStringLiteral("O caractere %1 não é aceito neste campo.").arg(character);
}

// The character starting at the index: one code unit, or two for a surrogate pair.
QString characterAt(const QString& text, qsizetype index)
{
    const bool pair = text[index].isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate();
    return text.mid(index, pair ? 2 : 1);
}

} // namespace

FieldRule::FieldRule(const QString& subject, int limit, Characters characters)
    : m_subject(subject), m_limit(limit), m_characters(characters)
{}

QString FieldRule::refusal(const QString& before, const QString& after) const
{
    for (qsizetype i = 0; i < after.size();) {
        const QString character = characterAt(after, i);
        if (!accepts(character) && after.count(character) > before.count(character)) {
            return characterRefusal(character);
        }
        i += character.size();
    }
    if (after.size() > m_limit && after.size() > before.size()) {
        return QStringLiteral("%1 aceita no máximo %2 caracteres.").arg(m_subject).arg(m_limit);
    }
    return {};
}

bool FieldRule::accepts(const QString& character) const
{
    // A one-line box never takes a line break: in a title or login it would end up as the line-break mark.
    if (isLineBreak(character)) {
        return false;
    }
    switch (m_characters) {
    case Characters::EntryWindow:
        return KeyFilter::allowedCharacters(KeyFilter::CharacterSet::EntryWindow).contains(character);
    case Characters::Settings:
        return KeyFilter::allowedCharacters(KeyFilter::CharacterSet::Settings).contains(character);
    case Characters::Storable:
        return KeyFilter::isStorable(character);
    }
    return false;
}
