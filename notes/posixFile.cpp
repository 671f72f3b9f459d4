// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "posixFile.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace notes {

PosixFile::~PosixFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PosixFile::openForReading(const QByteArray &localPath)
{
    return openUnchecked(localPath) && statRegular();
}

bool PosixFile::openUnchecked(const QByteArray &localPath)
{
    m_fd = ::open(localPath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    return m_fd >= 0;
}

bool PosixFile::statRegular()
{
    if (::fstat(m_fd, &m_stat) != 0 || !S_ISREG(m_stat.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    return true;
}

qsizetype PosixFile::readOnce(char *buffer, qsizetype length)
{
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, size_t(length));
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

qsizetype PosixFile::read(char *buffer, qsizetype length)
{
    qsizetype done = 0;
    while (done < length) {
        const ssize_t got = ::read(m_fd, buffer + done, size_t(length - done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return done > 0 ? done : -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

int PosixFile::readAll(QByteArray &out)
{
    // The size seen at opening is a hint; a file that grows meanwhile is
    // read to its real end.
    if (size() >= maxBytesInMemory)
        return EFBIG;
    out.resize(qsizetype(std::max<qint64>(size(), 0)) + 1);
    qsizetype total = 0;
    for (;;) {
        if (total == out.size() && total >= maxBytesInMemory / 2)
            return EFBIG;
        if (total == out.size())
            out.resize(out.size() * 2);
        // Read by single reads to the end, so that an error after some
        // bytes fails the whole rather than passing for the end of the file.
        const qsizetype got = readOnce(out.data() + total, out.size() - total);
        if (got < 0)
            return errno;
        if (got == 0)
            break;
        total += got;
    }
    out.truncate(total);
    return 0;
}

} // namespace notes
