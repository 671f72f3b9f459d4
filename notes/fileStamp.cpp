// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "fileStamp.h"

namespace notes {

FileStamp stampFrom(const struct stat &st)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = quint64(st.st_dev);
    stamp.inode = quint64(st.st_ino);
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return stamp;
}

FileStamp stampOf(const QByteArray &localPath)
{
    struct stat st;
    if (::stat(localPath.constData(), &st) != 0)
        return {};
    return stampFrom(st);
}

} // namespace notes
