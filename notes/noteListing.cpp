// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// Lists the note directory with readdir() rather than QDir: QDir decodes each
// name through the locale, which turns bytes that are not UTF-8 into U+FFFD
// (the note could then not be opened again), sorts by UTF-16 code units
// rather than by bytes, and keeps a QString per name.
#include "noteListing.h"

#include "fileNames.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

namespace notes {

void NoteListing::read(const QByteArray &directory)
{
    m_directory = directory;
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

    sortByName();
}

namespace {

// The first 16 bytes of a name as two numbers, most significant byte first,
// filled up with zeros after its end: compared as numbers they order as the
// names' first 16 bytes do.
struct NameHead
{
    quint64 high = 0;
    quint64 low = 0;
    qsizetype start = 0;
};

NameHead headOf(const char *names, qsizetype start)
{
    uchar bytes[16] = {};
    std::memcpy(bytes, names + start, ::strnlen(names + start, sizeof bytes));
    return {qFromBigEndian<quint64>(bytes), qFromBigEndian<quint64>(bytes + 8), start};
}

} // namespace

void NoteListing::sortByName()
{
    // Byte order, as strcmp compares (bytes as unsigned char). Most names
    // differ within their first 16 bytes, and those are held beside each
    // start: the sort then seldom visits the names, which lie scattered in
    // the order the directory gave them. The heads are freed before the
    // captions are read, so they add nothing to the most a rebuild holds.
    const char *names = m_names.constData();
    std::vector<NameHead> heads;
    heads.reserve(size_t(m_starts.size()));
    for (const qsizetype start : std::as_const(m_starts))
        heads.push_back(headOf(names, start));
    std::sort(heads.begin(), heads.end(), [names](const NameHead &a, const NameHead &b) {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        // The same 16 bytes: either both names end within them (and are
        // the same) or both go on.
        return (a.low & 0xFF) != 0 && std::strcmp(names + a.start + 16, names + b.start + 16) < 0;
    });
    for (qsizetype i = 0; i < m_starts.size(); ++i)
        m_starts[i] = heads[size_t(i)].start;
}

QStringList listNoteEntries(const QString &directory)
{
    NoteListing listing;
    listing.read(encodeFileName(directory));
    QStringList entries;
    for (int i = 0; i < listing.count(); ++i)
        entries.append(decodeFileName(listing.entryAt(i)));
    return entries;
}

} // namespace notes
