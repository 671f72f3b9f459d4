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

// The rows made from one listing, each with the note it stands for: the
// entry as the listing read it (bytes) and the caption as it is shown. They
// are kept in few blocks rather than a pair of strings per row: every
// caption in one string, every name in the listing's one buffer, and per
// row where its caption starts and which entry it stands for (about 12
// bytes a row beside the text, where two strings and their places in two
// lists took 200).
class NoteRowList
{
public:
    // Drops the rows and reads the listing of `directory` (ending in a
    // slash) afresh, for rows of it to be added. The room of the rows before
    // is kept for them: a rebuild of the same notes then takes no new
    // memory, which the kernel would first have to clear.
    void readListing(const QByteArray &directory);

    const NoteListing &listing() const { return m_listing; }
    // A row for entry `entry` of the listing, after the rows added so far.
    void append(int entry, QStringView caption);
    // Gives back what the rows did not need of the room taken for them.
    void squeeze();

    int count() const { return int(m_entries.size()); }
    // The entry of the listing each row stands for, row by row.
    const QList<int> &entries() const { return m_entries; }
    // The entry the row stands for, as listed; empty when there is no such
    // row.
    QByteArrayView entryAt(int row) const;
    // The note path of that entry; null when there is no such row.
    QByteArray pathAt(int row) const;
    // The caption the row shows; null when there is no such row.
    QString captionAt(int row) const;

private:
    bool hasRow(int row) const { return row >= 0 && row < count(); }

    NoteListing m_listing;
    QString m_captions;
    QList<qsizetype> m_captionStarts; // row by row
    QList<int> m_entries; // row by row, the entry's index in the listing
};

// The model of the note list. A rebuild takes the rows out, which empties
// the list, builds them again from a fresh listing and hands them back
// whole, shown at once. Beside the caption
// (the display role) each row gives the entry it stands for and its note
// path, as bytes.
class NoteRows : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        EntryRole = Qt::UserRole, // QByteArray
        PathRole, // QByteArray
    };

    explicit NoteRows(QObject *parent = nullptr);

    // Shows no rows, and gives the rows shown so far, to be built again.
    NoteRowList takeRows();
    // Shows `rows`.
    void setRows(NoteRowList rows);
    // The rows shown, for what reads the notes they stand for (the search).
    const NoteRowList &rows() const { return m_rows; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    NoteRowList m_rows;
};

} // namespace notes
