#pragma once

#include "notePaths.h"

#include <QString>
#include <QStringList>

namespace notes {

// The entry names of a directory that count as notes: regular files and links
// to regular files whose names do not begin with a dot. Directories, special
// files and dangling links are left out. Sorted by name in byte order (code
// point order for UTF-8 names), case-sensitively. A missing directory gives
// an empty list.
QStringList listNoteEntries(const QString &directory = noteDirectory());

// The directory lister behind the note list: it reads the directory when set
// up and answers from that reading until it is set up again.
class NoteListing
{
public:
    void setUp(const QString &directory = noteDirectory())
    {
        m_entries = listNoteEntries(directory);
    }
    int count() const { return int(m_entries.size()); }
    QString entryAt(int index) const { return m_entries.at(index); }

private:
    QStringList m_entries;
};

} // namespace notes
