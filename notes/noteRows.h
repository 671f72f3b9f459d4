// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include "noteListing.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace notes {

// The rows of the note list, each with the note it stands for: the entry as
// the listing read it (bytes) and the caption as it is shown. A row and its
// entry are only ever added, dropped and shown together. They are kept in
// few blocks rather than a pair of strings per row: every caption in one
// string, every name in the listing's one buffer, and per row where its
// caption starts and which entry it stands for (about 12 bytes a row beside
// the text, where two strings and their places in two lists took 200).
//
// A rebuild empties the list and reads the directory afresh with relist(),
// adds the rows in listing order with addRow(), and shows them all at once
// with show().
class NoteRows : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit NoteRows(QObject *parent = nullptr);

    // Empties the list and reads the listing of `directory` (ending in a
    // slash) afresh; the rows of this rebuild are made from it.
    const NoteListing &relist(const QByteArray &directory);
    // A row for entry `entry` of the listing, after the rows added so far.
    // It is not shown before show().
    void addRow(int entry, QStringView caption);
    // Shows the rows added since relist().
    void show();

    // The entry the row stands for, as listed; empty when there is no such
    // row.
    QByteArrayView entryOf(int row) const;
    // The note path of that entry; null when there is no such row.
    QByteArray pathOf(int row) const;
    QString captionOf(int row) const;
    // The listing the rows were built from, and the entry of each shown row.
    const NoteListing &listing() const { return m_listing; }
    QList<int> entries() const { return m_entries.first(m_shown); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    bool isShown(int row) const { return row >= 0 && row < m_shown; }

    NoteListing m_listing;
    QString m_captions;
    QList<qsizetype> m_captionStarts; // row by row
    QList<int> m_entries; // row by row, the entry's index in the listing
    int m_shown = 0;
};

} // namespace notes
