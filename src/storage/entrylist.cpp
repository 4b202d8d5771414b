#include "storage/entrylist.h"

#include "storage/cipher.h"
#include "storage/twothreads.h"
#include "storage/windows1252.h"

#include <QCollator>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace {

// The user's locale; without one (the C or POSIX locale) the common collation of every language, since the C
// collation compares code values, which would put "Zed" before "abc" and "abc§" before "ab§".
QLocale sortLocale()
{
    const QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
}

// One collator for each thread's whole run: making one costs more than many comparisons, and a collator may be
// used by one thread at a time only.
const QCollator& collator()
{
    static thread_local const QCollator sorting = [] {
        QCollator made(sortLocale());
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return sorting;
}

// Negative, zero or positive as a comes before, with or after b; text is the record in Unicode.
int order(const QString& aText, const QByteArray& a, const QString& bText, const QByteArray& b)
{
    const int byCollation = collator().compare(aText, bText);
    return byCollation != 0 ? byCollation : a.compare(b);
}

bool isBlank(const QByteArray& record)
{
    return trimSpaces(record).isEmpty();
}

// Sorts the records by their texts, each converted once for all its comparisons.
void sortByText(QList<QByteArray>& records)
{
    struct Text
    {
        QString text;
        QByteArray record;
    };
    std::vector<Text> texts;
    texts.reserve(size_t(records.size()));
    for (QByteArray& record : records) {
        texts.push_back({Windows1252::toUnicode(record), std::move(record)});
    }
    std::stable_sort(texts.begin(), texts.end(),
                     [](const Text& a, const Text& b) { return order(a.text, a.record, b.text, b.record) < 0; });
    for (qsizetype i = 0; i < records.size(); ++i) {
        records[i] = std::move(texts[size_t(i)].record);
    }
}

// The index after every record of the list from `from` on that the record does not come before. The search steps
// ahead by doubling strides before it halves: records merged in order land near the place of the one before.
qsizetype placeIn(const QList<QByteArray>& list, const QByteArray& record, qsizetype from)
{
    const QString text = Windows1252::toUnicode(record);
    QString listedText;
    const auto comesBefore = [&](const QByteArray& searched, const QByteArray& listed) {
        Windows1252::toUnicode(listed, listedText);
        return order(text, searched, listedText, listed) < 0;
    };
    qsizetype low = from, high = list.size();
    for (qsizetype stride = 1; low < high; stride *= 2) {
        const qsizetype probe = qMin(low + stride - 1, high - 1);
        if (comesBefore(record, list.at(probe))) {
            high = probe;
            break;
        }
        low = probe + 1;
    }
    const auto place = std::upper_bound(list.begin() + low, list.begin() + high, record, comesBefore);
    return qsizetype(place - list.begin());
}

// The two lists, each in order, merged into one: each run of records of one list that the other's next does not come
// before is found by one search, so that lists meeting in few places merge in few comparisons.
QList<QByteArray> merged(QList<QByteArray>& first, QList<QByteArray>& second)
{
    QList<QByteArray> into;
    into.reserve(first.size() + second.size());
    const auto take = [&into](QList<QByteArray>& from, qsizetype& next, qsizetype end) {
        for (; next < end; ++next) {
            into.append(std::move(from[next]));
        }
    };
    qsizetype inFirst = 0, inSecond = 0;
    while (inFirst < first.size() && inSecond < second.size()) {
        take(first, inFirst, placeIn(first, second.at(inSecond), inFirst));
        if (inFirst < first.size()) {
            // The second's next comes before the first's, so the search starts after it.
            into.append(std::move(second[inSecond++]));
            take(second, inSecond, placeIn(second, first.at(inFirst), inSecond));
        }
    }
    take(first, inFirst, first.size());
    take(second, inSecond, second.size());
    return into;
}

// The records, whose ascending runs start at runStarts, merged two runs at a time until one is left.
QList<QByteArray> mergedRuns(QList<QByteArray>& records, const QList<qsizetype>& runStarts)
{
    QList<QList<QByteArray>> runs;
    runs.reserve(runStarts.size());
    for (qsizetype run = 0; run < runStarts.size(); ++run) {
        const auto end = run + 1 < runStarts.size() ? records.begin() + runStarts[run + 1] : records.end();
        runs.emplaceBack(std::make_move_iterator(records.begin() + runStarts[run]), std::make_move_iterator(end));
    }
    while (runs.size() > 1) {
        QList<QList<QByteArray>> fewer;
        fewer.reserve((runs.size() + 1) / 2);
        for (qsizetype run = 0; run + 1 < runs.size(); run += 2) {
            fewer.append(merged(runs[run], runs[run + 1]));
        }
        if (runs.size() % 2 != 0) {
            fewer.append(std::move(runs.last()));
        }
        runs = std::move(fewer);
    }
    return std::move(runs.first());
}

// Sorts records set aside in the order they were read. Another program's order differs from this one in a few ways
// (accented letters placed by code value, numbers by their digits rather than their value), which leaves them in
// ascending runs of several records each: those are merged, converted to Unicode as they are compared rather than
// all kept converted, since fresh memory costs more than converting again. Runs of a record or two, as in a file in
// no particular order, are sorted.
void sortApart(QList<QByteArray>& records)
{
    constexpr qsizetype shortestRunsMerged = 8;
    QList<qsizetype> runStarts{0};
    QString text, previousText;
    for (qsizetype i = 0; i < records.size(); ++i) {
        Windows1252::toUnicode(records[i], text);
        if (i > 0 && order(text, records[i], previousText, records[i - 1]) < 0) {
            runStarts.append(i);
        }
        std::swap(text, previousText);
    }
    if (runStarts.size() * shortestRunsMerged <= records.size()) {
        records = mergedRuns(records, runStarts);
    } else {
        sortByText(records);
    }
}

// Keeps the records that follow in order, each checked against the last one kept, and sets the others aside; those
// are put in order the same way while they are few beside the kept ones (as a file of another program's order leaves
// them), else sorted, and merged in. A record that breaks the order is usually the one out of place, but when the next
// still follows the record kept before it, the last one kept was (a title changed to a later one).
void putInOrder(QList<QByteArray>& records)
{
    QList<QByteArray> outOfOrder;
    qsizetype kept = 0;
    // Of records[i], records[kept - 1] and records[kept - 2]; swapped rather than moved, so that each keeps its
    // memory for the records to come.
    QString text, keptText, beforeKeptText;
    for (qsizetype i = 0; i < records.size(); ++i) {
        Windows1252::toUnicode(records[i], text);
        if (kept == 0 || order(keptText, records[kept - 1], text, records[i]) <= 0) {
            if (kept != i) {
                records[kept] = std::move(records[i]);
            }
            ++kept;
            std::swap(beforeKeptText, keptText);
            std::swap(keptText, text);
        } else if (kept >= 2 && order(beforeKeptText, records[kept - 2], text, records[i]) <= 0) {
            outOfOrder.append(std::move(records[kept - 1]));
            records[kept - 1] = std::move(records[i]);
            std::swap(keptText, text);
        } else {
            outOfOrder.append(std::move(records[i]));
        }
    }
    records.resize(kept);
    if (outOfOrder.isEmpty()) {
        return;
    }
    // At most a third of the records at each depth, so that the depth stays below the logarithm of their number.
    outOfOrder.size() * 2 <= kept ? putInOrder(outOfOrder) : sortApart(outOfOrder);
    records = merged(records, outOfOrder);
}

// Large lists are put in order in two halves on two threads, and the halves merged.
void putInOrderInHalves(QList<QByteArray>& records)
{
    constexpr qsizetype halvedFrom = 8192;
    if (records.size() < halvedFrom) {
        putInOrder(records);
        return;
    }
    const qsizetype middle = records.size() / 2;
    QList<QByteArray> second(std::make_move_iterator(records.begin() + middle), std::make_move_iterator(records.end()));
    records.resize(middle);
    QList<QByteArray>* const halves[] = {&records, &second};
    onTwoThreads(2, [&halves](size_t half) { putInOrder(*halves[half]); });
    records = merged(records, second);
}

} // namespace

EntryList::EntryList(QList<QByteArray> records) : m_records(std::move(records))
{
    m_records.removeIf(isBlank);
    putInOrderInHalves(m_records);
}

EntryList::Change EntryList::adding(const QByteArray& record) const
{
    if (isBlank(record)) {
        return {};
    }
    return {-1, placeIn(m_records, record, 0), record};
}

EntryList::Change EntryList::replacing(qsizetype index, const QByteArray& replacement) const
{
    if (isBlank(replacement)) {
        return {index, -1, {}};
    }
    // The list without the replaced record keeps its order, so only the places after it move up by one.
    const qsizetype place = placeIn(m_records, replacement, 0);
    return {index, place > index ? place - 1 : place, replacement};
}

void EntryList::apply(const Change& change)
{
    if (change.removed >= 0 && change.inserted >= 0) {
        m_records.move(change.removed, change.inserted);
        m_records[change.inserted] = change.record;
    } else if (change.removed >= 0) {
        m_records.removeAt(change.removed);
    } else if (change.inserted >= 0) {
        m_records.insert(change.inserted, change.record);
    }
}
