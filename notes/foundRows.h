// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QAbstractProxyModel>
#include <QList>

namespace notes {

// Some rows of a list model, in its order: those a search has found so far.
// Rows found later are added at the end; each shows and stands for its row
// of the source. Emptied whenever the source is reset.
class FoundRows : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit FoundRows(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *source) override;
    void clear();
    // Rows of the source after all those added so far, in order.
    void append(const QList<int> &sourceRows);
    // The source row of a row, or -1.
    int sourceRow(int row) const { return row >= 0 && row < m_rows.size() ? m_rows.at(row) : -1; }

    QModelIndex mapToSource(const QModelIndex &index) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QModelIndex index(int row, int column,
                      const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;

private:
    QList<int> m_rows; // source rows, ascending
};

} // namespace notes
