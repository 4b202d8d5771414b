#include "mainwindow/listpager.h"

#include "storage/entrylist.h"

void ListPager::firstPage(qsizetype count)
{
    m_count = qMax<qsizetype>(count, 0);
    m_page = 0;
}

bool ListPager::forward()
{
    if (!canForward()) {
        return false;
    }
    ++m_page;
    ++m_setaMenos;
    m_untouched = false;
    return true;
}

bool ListPager::back()
{
    if (!canBack()) {
        return false;
    }
    --m_page;
    --m_setaMenos;
    m_untouched = false;
    return true;
}

void ListPager::markRowOneSelected()
{
    m_setaMenos = 1;
    m_untouched = false;
}

qsizetype ListPager::inicioRetorna() const
{
    return canBack() ? pageStart() - 1 : 0;
}

qsizetype ListPager::inicioAvanca() const
{
    if (!canBack()) {
        return pageSize;
    }
    return canForward() ? pageStart() + pageSize : 0;
}

QList<ListRow> ListPager::rows(const EntryList& entries) const
{
    QList<ListRow> rows;
    const qsizetype end = qMin(pageEnd(), entries.size());
    for (qsizetype index = pageStart(); index < end; ++index) {
        rows.append(ListRow::of(entries.at(index), index));
    }
    return rows;
}

QList<ListRow> ListPager::rows(const EntryList& entries, const QList<qsizetype>& shown) const
{
    QList<ListRow> rows;
    const qsizetype end = qMin(pageEnd(), shown.size());
    for (qsizetype position = pageStart(); position < end; ++position) {
        const qsizetype index = shown.at(position);
        if (entries.contains(index)) {
            rows.append(ListRow::of(entries.at(index), index));
        }
    }
    return rows;
}
