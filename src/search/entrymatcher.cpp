#include "search/entrymatcher.h"

#include "storage/entrylist.h"
#include "storage/entryrecord.h"
#include "storage/windows1252.h"

#include <array>

namespace {

// A control character that the search line never holds, so a match never spans two fields.
constexpr QChar fieldBoundary = QChar(0x1F);

QString searchableFields(const QByteArray& record)
{
    QString fields;
    for (const int position : {EntryRecord::Title, EntryRecord::Login, EntryRecord::Address}) {
        fields += EntryMatcher::folded(Windows1252::toUnicode(EntryRecord::field(record, position)));
        fields += fieldBoundary;
    }
    return fields;
}

// Compatibility forms and accents taken apart, the accents dropped, the letter case folded: "Ã" gives "a", "ª" gives
// "a", "ﬁ" gives "fi". Decomposing and folding one character at a time gives what the whole text would.
QString foldedCharacter(QChar c)
{
    QString bare;
    for (const QChar part : QString(c).normalized(QString::NormalizationForm_KD)) {
        if (part.category() != QChar::Mark_NonSpacing) {
            bare += part;
        }
    }
    return bare.toCaseFolded();
}

} // namespace

EntryMatcher::EntryMatcher(const EntryList& entries)
{
    m_searchable.reserve(entries.size());
    for (qsizetype index = 0; index < entries.size(); ++index) {
        m_searchable.append(searchableFields(entries.at(index)));
    }
}

QList<qsizetype> EntryMatcher::matching(const QString& text) const
{
    const QString wanted = folded(text);
    QList<qsizetype> found;
    for (qsizetype index = 0; index < m_searchable.size(); ++index) {
        if (m_searchable.at(index).contains(wanted)) {
            found.append(index);
        }
    }
    return found;
}

QString EntryMatcher::folded(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x80) {
            result += QChar(code >= u'A' && code <= u'Z' ? code + (u'a' - u'A') : code);
        } else if (code < 0x100) {
            // Folded once: a large vault holds these letters many thousand times.
            static const std::array<QString, 0x100> latin1 = [] {
                std::array<QString, 0x100> table;
                for (char16_t code = 0x80; code < 0x100; ++code) {
                    table[code] = foldedCharacter(QChar(code));
                }
                return table;
            }();
            result += latin1[code];
        } else {
            result += foldedCharacter(c);
        }
    }
    return result;
}
