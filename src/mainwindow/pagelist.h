#pragma once

#include "mainwindow/listrow.h"

#include <QDate>
#include <QListWidget>

// lstLembretes: the visible page of the main list. It has no frame and no background of its own, so that the
// window's list picture shows through, and its rows are drawn by a RowDelegate. Gaining the keyboard focus never
// selects a row by itself: a row is selected only by the user or by the window. Rows whose expiry date has passed
// or is near are marked for the delegate and carry a tool tip that says so.
class PageList : public QListWidget
{
    Q_OBJECT

public:
    explicit PageList(QWidget* parent);

    // Shows the rows from the top, their expiry dates judged on the day given.
    // Screen readers read each row as its title and expiry date.
    void setRows(const QList<ListRow>& rows, QDate today);
    // Keeps the bottom pixels of the list clear of rows, for a line drawn over them; the rows then scroll.
    void reserveBottom(int pixels);

protected:
    void focusInEvent(QFocusEvent* event) override;
};
