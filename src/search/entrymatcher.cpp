#include "search/entrymatcher.h"

#include "storage/entrylist.h"
#include "storage/entryrecord.h"
#include "storage/windows1252.h"

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
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString bare;
    bare.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing) {
            bare += c;
        }
    }
    return bare.toCaseFolded();
}
