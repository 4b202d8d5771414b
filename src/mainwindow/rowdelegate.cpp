#include "mainwindow/rowdelegate.h"

#include "expiry/expirystatus.h"
#include "mainwindow/entrylistmodel.h"

#include <QPainter>
#include <QPainterPath>

#include <utility>

namespace {

const QString widestExpiry = QStringLiteral("----/----/----");
const QColor expiryColour(0x6a, 0x55, 0x30);
const QColor titleColour(0x2a, 0x2a, 0x2a);
const QColor selectedTextColour(0x17, 0x22, 0x2f);
const QColor expiredColour(0xa3, 0x30, 0x1c);
const QColor expiresSoonColour(0xb0, 0x62, 0x10);

QPainterPath rowShape(const QRectF& rect)
{
    QPainterPath path;
    path.addRoundedRect(rect.adjusted(1, 0.5, -1, -0.5), 3, 3);
    return path;
}

void paintSelection(QPainter* painter, const QRectF& rect)
{
    QLinearGradient amber(rect.topLeft(), rect.bottomLeft());
    amber.setColorAt(0, QColor(0xf6, 0xd2, 0x7a, 230));
    amber.setColorAt(1, QColor(0xe0, 0xa8, 0x40, 230));
    const QPainterPath path = rowShape(rect);
    painter->fillPath(path, amber);
    painter->setPen(QPen(QColor(0xc8, 0x8a, 0x1e), 1));
    painter->drawPath(path);
}

// The colours of the expiry date and the title of a row that is not selected.
std::pair<QColor, QColor> rowColours(const QModelIndex& index)
{
    switch (ExpiryStatus::Kind(index.data(EntryListModel::ExpiryStateRole).toInt())) {
    case ExpiryStatus::Kind::Expired:
        return {expiredColour, expiredColour};
    case ExpiryStatus::Kind::Soon:
        return {expiresSoonColour, expiresSoonColour};
    case ExpiryStatus::Kind::None:
        break;
    }
    return {expiryColour, titleColour};
}

} // namespace

void RowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    if (selected) {
        paintSelection(painter, option.rect);
    } else if (option.state.testFlag(QStyle::State_MouseOver)) {
        painter->fillPath(rowShape(option.rect), QColor(0xc8, 0x8a, 0x1e, 45));
    }
    painter->setFont(option.font);
    const QFontMetrics metrics(option.font);
    const QRect textArea = option.rect.adjusted(5, 0, -4, 0);
    const auto [expiryPen, titlePen] = selected ? std::pair(selectedTextColour, selectedTextColour) : rowColours(index);

    const QString expiry = index.data(EntryListModel::ExpiryRole).toString();
    const QString title = index.data(EntryListModel::TitleRole).toString();
    const int expiryWidth = metrics.horizontalAdvance(widestExpiry) + 8;

    painter->setPen(expiryPen);
    const QRect expiryArea(textArea.left(), textArea.top(), expiryWidth, textArea.height());
    painter->drawText(expiryArea, Qt::AlignLeft | Qt::AlignVCenter,
                      metrics.elidedText(expiry, Qt::ElideRight, expiryArea.width() - 4));
    QRect titleArea = textArea;
    titleArea.setLeft(expiryArea.right() + 1);
    QFont titleFont = option.font;
    titleFont.setBold(selected);
    painter->setFont(titleFont);
    painter->setPen(titlePen);
    painter->drawText(titleArea, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(titleFont).elidedText(title, Qt::ElideRight, titleArea.width()));
    painter->restore();
}

QSize RowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {option.rect.width(), rowHeight};
}
