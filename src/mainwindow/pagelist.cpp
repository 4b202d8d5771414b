#include "mainwindow/pagelist.h"

#include "expiry/expirystatus.h"
#include "mainwindow/rowdelegate.h"

PageList::PageList(QWidget* parent) : QListWidget(parent)
{
    setObjectName(QStringLiteral("lstLembretes"));
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_Hover);
    setAutoFillBackground(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideRight);
    setItemDelegate(new RowDelegate(this));
    QFont rowFont(QStringLiteral("DejaVu Sans Condensed"));
    rowFont.setPixelSize(11);
    setFont(rowFont);
}

void PageList::setRows(const QList<ListRow>& rows, QDate today)
{
    clear();
    for (const ListRow& row : rows) {
        auto* item = new QListWidgetItem(row.shown, this);
        const ExpiryStatus expiry(RowDelegate::expiryText(row.shown), today);
        item->setData(RowDelegate::expiryRole, int(expiry.kind()));
        item->setToolTip(expiry.description());
        item->setData(Qt::AccessibleTextRole, row.spoken);
        item->setData(Qt::AccessibleDescriptionRole, expiry.description().trimmed());
    }
    scrollToTop();
}

void PageList::reserveBottom(int pixels)
{
    setViewportMargins(0, 0, 0, pixels);
}

void PageList::focusInEvent(QFocusEvent* event)
{
    // The item view would make its first row current here, which would show that entry as if the user had chosen
    // it; only the frame's own focus handling runs.
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}
