// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include "notePaths.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

namespace notes {

// The directory lister behind the note list: the entry names of a directory
// that count as notes, as the directory gives them (bytes), as one reading
// of the directory found them. Notes are
// regular files and links to regular files whose names do not begin with a
// dot; directories, special files and dangling links are left out. Sorted by
// name in byte order (code point order for UTF-8 names), case-sensitively. A
// missing directory gives an empty listing. All names share one buffer.
class NoteListing
{
public:
    // Reads the listing of `directory`, which ends in a slash, afresh; the
    // room of the last reading is kept for it.
    void read(const QByteArray &directory = localNoteDirectory());

    const QByteArray &directory() const { return m_directory; }
    int count() const { return int(m_starts.size()); }
    // The name of entry `index`, followed in memory by a NUL.
    QByteArrayView entryAt(int index) const
    {
        return QByteArrayView(m_names.constData() + m_starts.at(index));
    }
    // The directory followed by the name of entry `index`.
    QByteArray pathAt(int index) const { return QByteArray(m_directory).append(entryAt(index)); }

private:
    void sortByName();

    QByteArray m_directory;
    QByteArray m_names; // every name followed by a NUL
    QList<qsizetype> m_starts; // in listing order
};

// The entries of a directory's listing, decoded (fileNames.h).
QStringList listNoteEntries(const QString &directory = noteDirectory());

} // namespace notes
