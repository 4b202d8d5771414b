#pragma once

#include <QStyledItemDelegate>

// Draws a row of the main list straight onto the list's picture: the expiry date in a column of its own, then the
// title, with no background box behind the text. The four tabs before the row's index and the index stay out of sight.
// A row whose entry has expired is drawn in the warning colour, one that expires within thirty days in a softer one.
class RowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int rowHeight = 13;
    // The ExpiryStatus::Kind of the row's entry.
    static constexpr int expiryRole = Qt::UserRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The text of a row that is shown: everything before the four tabs that lead to its index, tabs as spaces.
    static QString visibleText(const QString& row);
    // The expiry date a row shows, or an empty text when its record is too short to carry one.
    static QString expiryText(const QString& row);
};
