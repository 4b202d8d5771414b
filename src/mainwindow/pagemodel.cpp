#include "mainwindow/pagemodel.h"

void PageModel::setSourceModel(QAbstractItemModel* source)
{
    beginResetModel();
    QAbstractProxyModel::setSourceModel(source);
    m_rows.clear();
    // The rows shown may no longer be there: the page stays empty until it is shown again.
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        beginResetModel();
        m_rows.clear();
    });
    connect(source, &QAbstractItemModel::modelReset, this, [this] { endResetModel(); });
    connect(source, &QAbstractItemModel::dataChanged, this,
            [this] { emit dataChanged(index(0, 0), index(rowCount() - 1, 0)); });
    endResetModel();
}

void PageModel::showRows(const QList<qsizetype>& sourceRows)
{
    beginResetModel();
    m_rows.clear();
    const qsizetype sourceCount = sourceModel() == nullptr ? 0 : sourceModel()->rowCount();
    for (const qsizetype row : sourceRows) {
        if (row >= 0 && row < sourceCount) {
            m_rows.append(row);
        }
    }
    endResetModel();
}

QModelIndex PageModel::index(int row, int column, const QModelIndex& parent) const
{
    return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
}

QModelIndex PageModel::parent(const QModelIndex&) const
{
    return {};
}

int PageModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PageModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QModelIndex PageModel::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!proxyIndex.isValid() || sourceModel() == nullptr || proxyIndex.row() >= m_rows.size()) {
        return {};
    }
    return sourceModel()->index(int(m_rows.at(proxyIndex.row())), proxyIndex.column());
}

QModelIndex PageModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    const qsizetype row = sourceIndex.isValid() ? m_rows.indexOf(sourceIndex.row()) : -1;
    return row < 0 ? QModelIndex() : index(int(row), sourceIndex.column());
}
