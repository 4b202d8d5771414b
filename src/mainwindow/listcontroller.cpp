#include "mainwindow/listcontroller.h"

void ListController::showFirstPage(qsizetype count)
{
    m_selectedEntry = -1;
    m_pager.firstPage(isSearching() ? m_matches.size() : count);
}

void ListController::openSearch()
{
    if (!isSearching()) {
        m_fullListPager = m_pager;
        m_pager = ListPager();
    }
}

void ListController::showMatches(const QList<qsizetype>& matches)
{
    m_matches = isSearching() ? matches : QList<qsizetype>();
    showFirstPage(m_matches.size());
}

void ListController::closeSearch()
{
    if (isSearching()) {
        m_pager = *m_fullListPager;
        m_fullListPager.reset();
    }
    m_matches.clear();
}

bool ListController::turnPage(bool forward)
{
    return forward ? m_pager.forward() : m_pager.back();
}

QList<qsizetype> ListController::pageEntries() const
{
    QList<qsizetype> entries;
    for (qsizetype position = m_pager.pageStart(); position < m_pager.pageEnd(); ++position) {
        if (!isSearching()) {
            entries.append(position);
        } else if (position < m_matches.size()) {
            entries.append(m_matches.at(position));
        }
    }
    return entries;
}

void ListController::selectRow(int row, qsizetype entry)
{
    m_selectedRow = row;
    if (row == 1) {
        m_pager.markRowOneSelected();
    }
    if (entry >= 0) {
        m_selectedEntry = entry;
    }
}

bool ListController::goesToNextPage(int key, int row) const
{
    return key == Qt::Key_Down && row == ListPager::pageSize - 1 && m_pager.canForward();
}

bool ListController::goesToPreviousPage(int key, int row) const
{
    return key == Qt::Key_Up && row == 0 && m_pager.canBack();
}

bool ListController::movesRoundToLastRow(int row) const
{
    return !isSearching() && m_pager.isUntouched() && row == 0;
}
