// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "foundRows.h"

#include <algorithm>

namespace notes {

FoundRows::FoundRows(QObject *parent)
    : QAbstractProxyModel(parent)
{ }

void FoundRows::setSourceModel(QAbstractItemModel *source)
{
    beginResetModel();
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    QAbstractProxyModel::setSourceModel(source);
    m_rows.clear();
    if (source) {
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this,
                &FoundRows::beginResetModel);
        connect(source, &QAbstractItemModel::modelReset, this, [this] {
            m_rows.clear();
            endResetModel();
        });
    }
    endResetModel();
}

void FoundRows::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void FoundRows::append(const QList<int> &sourceRows)
{
    if (sourceRows.isEmpty())
        return;
    Q_ASSERT(m_rows.isEmpty() || sourceRows.constFirst() > m_rows.constLast());
    const int first = int(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + int(sourceRows.size()) - 1);
    m_rows.append(sourceRows);
    endInsertRows();
}

QModelIndex FoundRows::mapToSource(const QModelIndex &index) const
{
    if (!index.isValid() || !sourceModel())
        return QModelIndex();
    return sourceModel()->index(sourceRow(index.row()), index.column());
}

QModelIndex FoundRows::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid())
        return QModelIndex();
    const auto at = std::lower_bound(m_rows.cbegin(), m_rows.cend(), sourceIndex.row());
    if (at == m_rows.cend() || *at != sourceIndex.row())
        return QModelIndex();
    return index(int(at - m_rows.cbegin()), sourceIndex.column());
}

QModelIndex FoundRows::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= m_rows.size() || column != 0)
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex FoundRows::parent(const QModelIndex &) const
{
    return QModelIndex();
}

int FoundRows::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FoundRows::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

} // namespace notes
