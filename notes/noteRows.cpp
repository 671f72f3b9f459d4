// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "noteRows.h"

#include <utility>

namespace notes {

void NoteRowList::readListing(const QByteArray &directory)
{
    m_captions.resize(0);
    m_captionStarts.clear();
    m_entries.clear();
    m_listing.read(directory);
    m_captionStarts.reserve(m_listing.count());
    m_entries.reserve(m_listing.count());
}

void NoteRowList::append(int entry, QStringView caption)
{
    Q_ASSERT(entry >= 0 && entry < m_listing.count());
    Q_ASSERT(m_entries.isEmpty() || entry > m_entries.constLast());
    m_captionStarts.append(m_captions.size());
    m_captions.append(caption);
    m_entries.append(entry);
}

void NoteRowList::squeeze()
{
    m_captions.squeeze();
    m_captionStarts.squeeze();
    m_entries.squeeze();
}

QByteArrayView NoteRowList::entryAt(int row) const
{
    return hasRow(row) ? m_listing.entryAt(m_entries.at(row)) : QByteArrayView();
}

QByteArray NoteRowList::pathAt(int row) const
{
    return hasRow(row) ? m_listing.pathAt(m_entries.at(row)) : QByteArray();
}

QString NoteRowList::captionAt(int row) const
{
    if (!hasRow(row))
        return QString();
    const qsizetype start = m_captionStarts.at(row);
    const qsizetype end = row + 1 < count() ? m_captionStarts.at(row + 1) : m_captions.size();
    return m_captions.mid(start, end - start);
}

NoteRows::NoteRows(QObject *parent)
    : QAbstractListModel(parent)
{ }

NoteRowList NoteRows::takeRows()
{
    beginResetModel();
    NoteRowList rows = std::exchange(m_rows, NoteRowList());
    endResetModel();
    return rows;
}

void NoteRows::setRows(NoteRowList rows)
{
    // What the rows did not need of the room reserved for them.
    rows.squeeze();
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int NoteRows::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.count();
}

QVariant NoteRows::data(const QModelIndex &index, int role) const
{
    if (index.parent().isValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_rows.captionAt(index.row());
    case EntryRole:
        return m_rows.entryAt(index.row()).toByteArray();
    case PathRole:
        return m_rows.pathAt(index.row());
    default:
        return QVariant();
    }
}

} // namespace notes
