#pragma once

#include <QListWidget>

// lstLembretes: the visible page of the main list. It has no frame and no background of its own, so that the
// window's list picture shows through, and its rows are drawn by a RowDelegate. Gaining the keyboard focus never
// selects a row by itself: a row is selected only by the user or by the window.
class PageList : public QListWidget
{
    Q_OBJECT

public:
    explicit PageList(QWidget* parent);

    void setRows(const QList<QString>& rows);

protected:
    void focusInEvent(QFocusEvent* event) override;
};
