#pragma once

#include "mainwindow/listpager.h"

#include <QList>

#include <optional>

// What the main list shows and what is selected in it, without a widget: the paging of every entry or, while a
// search is open, of the entries found; the row selected and its entry. The full list's paging, with its keyboard
// markers, waits while a search pages on its own, and comes back when the search closes.
class ListController
{
public:
    // The entries were read again, count of them: the first page shows, nothing is selected.
    void showFirstPage(qsizetype count);
    // A search opens: the full list's paging waits for its return. Nothing happens while one is open.
    void openSearch();
    // While a search is open, these entries are found, in the full list's order: the first page of them shows.
    void showMatches(const QList<qsizetype>& matches);
    // The search closed: the full list's paging is back, to be shown from its first page.
    void closeSearch();
    bool isSearching() const { return m_fullListPager.has_value(); }

    // Turns the page; false, and nothing changes, when there is no such page.
    bool turnPage(bool forward);
    const ListPager& pager() const { return m_pager; }
    // The indexes in the full list of the entries the page shows, in their order.
    QList<qsizetype> pageEntries() const;

    // The row of the page was selected, which shows the entry at that index in the full list (or -1 for none).
    void selectRow(int row, qsizetype entry);
    // The in-page row most recently selected.
    int selectedRow() const { return m_selectedRow; }
    // The index in the full list of the entry selected, or -1.
    qsizetype selectedEntry() const { return m_selectedEntry; }

    // Down on the last row of a full page goes on to the next page, Up on the first row back to the previous one.
    bool goesToNextPage(int key, int row) const;
    bool goesToPreviousPage(int key, int row) const;
    // Until row 1 has been selected or a page turned for the first time, a key that leaves the first row selected
    // moves the selection round to the last row of the page. The row-1 marker alone cannot tell: turns back and
    // forth bring it to 0 again. The entries a search found never move round.
    bool movesRoundToLastRow(int row) const;

private:
    ListPager m_pager;
    std::optional<ListPager> m_fullListPager;
    QList<qsizetype> m_matches;
    int m_selectedRow = 0;
    qsizetype m_selectedEntry = -1;
};
