// Lists the note directory with readdir() rather than QDir: QDir decodes each
// name through the locale, which turns bytes that are not UTF-8 into U+FFFD
// (the note could then not be opened again), and sorts by UTF-16 code units
// rather than by bytes.
#include "noteListing.h"

#include "fileNames.h"

#include <QByteArrayList>

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

namespace notes {

QStringList listNoteEntries(const QString &directory)
{
    DIR *dir = ::opendir(encodeFileName(directory).constData());
    if (!dir)
        return {};

    QByteArrayList names;
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
        if (isNote)
            names.append(QByteArray(entry->d_name));
    }
    ::closedir(dir);

    // Byte order: QByteArray compares its bytes as unsigned char.
    std::sort(names.begin(), names.end());
    QStringList entries;
    entries.reserve(names.size());
    for (const QByteArray &name : std::as_const(names))
        entries.append(decodeFileName(name));
    return entries;
}

} // namespace notes
