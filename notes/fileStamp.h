// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <sys/stat.h>

namespace notes {

// What identifies the content of a file on disk, for noticing that another
// program changed it. The change time is left out: a change of permissions
// or owner leaves the text as it was.
struct FileStamp
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;

    bool operator==(const FileStamp &other) const
    {
        return exists == other.exists && device == other.device && inode == other.inode
            && size == other.size && modifiedNs == other.modifiedNs;
    }
    bool operator!=(const FileStamp &other) const { return !(*this == other); }
};

// The stamp of what is at the path now (links are followed).
FileStamp stampOf(const QByteArray &localPath);
FileStamp stampFrom(const struct stat &st);

} // namespace notes
