#include "mainwindow/listpager.h"

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
