#pragma once

#include <QAbstractProxyModel>
#include <QList>

// The rows of one page of the main list: the rows of the source model at the numbers given, in their order. The
// window's list shows this model; the source rows are every entry, so a row of the page knows its entry's index.
class PageModel : public QAbstractProxyModel
{
    Q_OBJECT

public:
    using QAbstractProxyModel::QAbstractProxyModel;

    void setSourceModel(QAbstractItemModel* source) override;
    // Shows the source rows at these numbers; numbers beyond the source are left out.
    void showRows(const QList<qsizetype>& sourceRows);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;

private:
    QList<qsizetype> m_rows;
};
