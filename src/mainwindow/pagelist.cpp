#include "mainwindow/pagelist.h"

#include "mainwindow/entrylistmodel.h"
#include "mainwindow/pagemodel.h"
#include "mainwindow/rowdelegate.h"

PageList::PageList(EntryListModel& entries, QWidget* parent) : QListView(parent), m_page(new PageModel(this))
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
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new RowDelegate(this));
    QFont rowFont(QStringLiteral("DejaVu Sans Condensed"));
    rowFont.setPixelSize(11);
    setFont(rowFont);
    m_page->setSourceModel(&entries);
    setModel(m_page);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { emit currentRowChanged(current.isValid() ? current.row() : -1); });
    connect(this, &QAbstractItemView::doubleClicked, this, &PageList::rowDoubleClicked);
    connect(m_page, &QAbstractItemModel::modelReset, this, &QAbstractItemView::scrollToTop);
}

int PageList::count() const
{
    return m_page->rowCount();
}

int PageList::currentRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void PageList::setCurrentRow(int row)
{
    setCurrentIndex(m_page->index(row, 0));
}

qsizetype PageList::entryAt(int row) const
{
    const QVariant entry = m_page->index(row, 0).data(EntryListModel::EntryIndexRole);
    return entry.isValid() ? entry.value<qsizetype>() : -1;
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
