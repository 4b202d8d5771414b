#pragma once

#include <QListView>

class EntryListModel;
class PageModel;

// lstLembretes: the visible page of the main list, over a page of the entries. It has no frame and no background of
// its own, so that the window's list picture shows through, and its rows are drawn by a RowDelegate. Gaining the
// keyboard focus never selects a row by itself: a row is selected only by the user or by the window.
class PageList : public QListView
{
    Q_OBJECT

public:
    PageList(EntryListModel& entries, QWidget* parent);

    PageModel& page() const { return *m_page; }
    int count() const;
    // The row of the page that is current, or -1.
    int currentRow() const;
    void setCurrentRow(int row);
    // The index in the full list of the entry the row of the page shows, or -1.
    qsizetype entryAt(int row) const;
    // Keeps the bottom pixels of the list clear of rows, for a line drawn over them; the rows then scroll.
    void reserveBottom(int pixels);

signals:
    void currentRowChanged(int row);
    void rowDoubleClicked();

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    PageModel* m_page;
};
