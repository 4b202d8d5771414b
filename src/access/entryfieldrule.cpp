#include "access/entryfieldrule.h"

#include <algorithm>
#include <iterator>

namespace {

using Characters = FieldRule::Characters;

const EntryFieldRule rules[] = {
    {EntryRecord::Title, "O título", 45, Characters::Storable, false, "(Máximo %1 caracteres)"},
    {EntryRecord::Login, "O login", 45, Characters::EntryWindow, false, "(Máx %1 chars)"},
    {EntryRecord::Password, "A senha", 20, Characters::EntryWindow, false, "(Máx %1 chars)"},
    {EntryRecord::Address, "A URL", 255, Characters::Storable, false, "(Máx %1 chars)"},
    {EntryRecord::Description, "A descrição", 500, Characters::Storable, true, "(Máx %1 chars)"},
};

bool isLineBreak(QChar character)
{
    return character == QLatin1Char('\n') || character == QLatin1Char('\r');
}

} // namespace

const EntryFieldRule& EntryFieldRule::of(EntryRecord::Field field)
{
    const auto found = std::find_if(std::begin(rules), std::end(rules),
                                    [field](const EntryFieldRule& rule) { return rule.field == field; });
    Q_ASSERT(found != std::end(rules));
    return *found;
}

QString EntryFieldRule::caption() const
{
    return QString::fromUtf8(captionForm).arg(limit);
}

FieldRule EntryFieldRule::boxRule() const
{
    return FieldRule(QString::fromUtf8(subject), limit, typed);
}

bool EntryFieldRule::stores(const QString& character) const
{
    return character.size() == 1 && isLineBreak(character.front()) ? lineBreaks : KeyFilter::isStorable(character);
}

bool EntryFieldRule::storesAll(const QString& text) const
{
    return (lineBreaks || std::none_of(text.begin(), text.end(), isLineBreak)) && KeyFilter::isStorable(text);
}
