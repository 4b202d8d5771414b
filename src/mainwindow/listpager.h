#pragma once

#include <QtGlobal>

// The paging of the main list: which fifteen entries of the full list are shown, and the state the window keeps
// about them. Pages start at the indexes 0, 15, 30 and so on. The page-bound values are those the window has always
// shown in its state labels: the last index of the previous page (0 on the first page) and the first index of the
// next page (15 on the first page, 0 on the last page after it).
class ListPager
{
public:
    static constexpr qsizetype pageSize = 15;

    // Shows the first page of a list of count entries; the row-1 marker is kept.
    void firstPage(qsizetype count);
    // Turn the page; nothing happens, and false is returned, when there is no such page.
    bool forward();
    bool back();

    bool canForward() const { return pageStart() + pageSize < m_count; }
    bool canBack() const { return m_page > 0; }

    qsizetype count() const { return m_count; }
    // The indexes [pageStart, pageEnd) of the entries shown.
    qsizetype pageStart() const { return m_page * pageSize; }
    qsizetype pageEnd() const { return qMin(pageStart() + pageSize, m_count); }
    qsizetype rowCount() const { return pageEnd() - pageStart(); }

    qsizetype inicioRetorna() const;
    qsizetype inicioAvanca() const;
    qsizetype pagina() const { return m_page + 1; }

    // The row-1 marker: set to 1 when row 1 of a page is selected, raised by a forward and lowered by a back turn.
    int setaMenos() const { return m_setaMenos; }
    void markRowOneSelected();
    // True until row 1 has been selected or a page turned for the first time.
    bool isUntouched() const { return m_untouched; }

private:
    qsizetype m_count = 0;
    qsizetype m_page = 0;
    int m_setaMenos = 0;
    bool m_untouched = true;
};
