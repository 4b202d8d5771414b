#pragma once

#include <QStyledItemDelegate>

// Draws a row of the main list straight onto the list's picture: the expiry date in a column of its own, then the
// title, with no background box behind the text. It asks the row's parts of an EntryListModel.
// A row whose entry has expired is drawn in the warning colour, one that expires within thirty days in a softer one.
class RowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int rowHeight = 13;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
