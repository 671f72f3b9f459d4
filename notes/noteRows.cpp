// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "noteRows.h"

namespace notes {

NoteRows::NoteRows(QObject *parent)
    : QAbstractListModel(parent)
{ }

const NoteListing &NoteRows::relist(const QByteArray &directory)
{
    beginResetModel();
    m_shown = 0;
    // The room of the last rebuild is kept for this one: a rebuild of the
    // same notes then takes no new memory, which the kernel would first have
    // to clear.
    m_captions.resize(0);
    m_captionStarts.clear();
    m_entries.clear();
    m_listing.setUp(directory);
    endResetModel();
    m_captionStarts.reserve(m_listing.count());
    m_entries.reserve(m_listing.count());
    return m_listing;
}

void NoteRows::addRow(int entry, QStringView caption)
{
    Q_ASSERT(entry >= 0 && entry < m_listing.count());
    Q_ASSERT(m_entries.isEmpty() || entry > m_entries.constLast());
    m_captionStarts.append(m_captions.size());
    m_captions.append(caption);
    m_entries.append(entry);
}

void NoteRows::show()
{
    beginResetModel();
    // What the rows did not need of the room reserved for them.
    m_captions.squeeze();
    m_captionStarts.squeeze();
    m_entries.squeeze();
    m_shown = int(m_entries.size());
    endResetModel();
}

QByteArrayView NoteRows::entryOf(int row) const
{
    return isShown(row) ? m_listing.entryAt(m_entries.at(row)) : QByteArrayView();
}

QByteArray NoteRows::pathOf(int row) const
{
    return isShown(row) ? m_listing.pathAt(m_entries.at(row)) : QByteArray();
}

QString NoteRows::captionOf(int row) const
{
    if (!isShown(row))
        return QString();
    const qsizetype start = m_captionStarts.at(row);
    const qsizetype end = row + 1 < m_shown ? m_captionStarts.at(row + 1) : m_captions.size();
    return m_captions.mid(start, end - start);
}

int NoteRows::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

QVariant NoteRows::data(const QModelIndex &index, int role) const
{
    if (index.parent().isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return captionOf(index.row());
}

} // namespace notes
