// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "localPaths.h"

#include <cerrno>

#include <unistd.h>

namespace notes {

QByteArray directoryOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

int writeAll(int fd, const QByteArray &bytes, off_t offset)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = offset < 0 ? ::write(fd, data, size_t(left))
                                           : ::pwrite(fd, data, size_t(left), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        // Nothing written and no error: the device takes no more.
        if (written == 0)
            return ENOSPC;
        data += written;
        left -= written;
        if (offset >= 0)
            offset += written;
    }
    return 0;
}

} // namespace notes
