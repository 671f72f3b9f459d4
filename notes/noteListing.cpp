// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// Lists the note directory with readdir() rather than QDir: QDir decodes each
// name through the locale, which turns bytes that are not UTF-8 into U+FFFD
// (the note could then not be opened again), sorts by UTF-16 code units
// rather than by bytes, and keeps a QString per name.
#include "noteListing.h"

#include "fileNames.h"

#include <algorithm>
#include <cstring>

#include <dirent.h>
#include <sys/stat.h>

namespace notes {

void NoteListing::setUp(const QByteArray &directory)
{
    m_directory = directory;
    // Keeps the room of the last reading.
    m_names.resize(0);
    m_starts.clear();
    DIR *dir = ::opendir(directory.constData());
    if (!dir)
        return;

    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        bool isNote = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            // Links count when they lead to a regular file; stat follows them.
            struct stat st;
            isNote = ::fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (!isNote)
            continue;
        m_starts.append(m_names.size());
        m_names.append(entry->d_name, qsizetype(std::strlen(entry->d_name)) + 1);
    }
    ::closedir(dir);
    // The listing is kept until the next rebuild: it keeps no room to grow.
    m_names.squeeze();
    m_starts.squeeze();

    // Byte order: strcmp compares bytes as unsigned char.
    const char *names = m_names.constData();
    std::sort(m_starts.begin(), m_starts.end(),
              [names](qsizetype a, qsizetype b) { return std::strcmp(names + a, names + b) < 0; });
}

QStringList listNoteEntries(const QString &directory)
{
    NoteListing listing;
    listing.setUp(encodeFileName(directory));
    QStringList entries;
    for (int i = 0; i < listing.count(); ++i)
        entries.append(decodeFileName(listing.entryAt(i)));
    return entries;
}

} // namespace notes
