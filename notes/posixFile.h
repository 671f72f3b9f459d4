// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <limits>

#include <sys/stat.h>

namespace notes {

// The most bytes of a file read into memory at once: an eighth of what a
// QByteArray can hold, which on a 32-bit device is 256 MiB (decoded, its text
// takes twice that), and on a 64-bit one more than any disk.
inline constexpr qint64 maxBytesInMemory = std::numeric_limits<qsizetype>::max() / 8;

// A read-only file descriptor that is closed with its owner. Only regular
// files are accepted: opening never blocks (a FIFO put where a note was is
// refused instead of waiting for a writer) and a directory is refused as a
// file that cannot be read.
class PosixFile
{
public:
    PosixFile() = default;
    ~PosixFile();
    PosixFile(const PosixFile &) = delete;
    PosixFile &operator=(const PosixFile &) = delete;

    bool openForReading(const QByteArray &localPath);
    // The two halves of openForReading, for a reader that can often do
    // without the check: opening never blocks, but until statRegular() says
    // so the file may be anything.
    bool openUnchecked(const QByteArray &localPath);
    bool statRegular();
    // Size when opened, which may be more than memory can hold.
    qint64 size() const { return qint64(m_stat.st_size); }
    const struct stat &status() const { return m_stat; }
    // Reads up to `length` bytes, retrying on interruption; -1 on error.
    qsizetype read(char *buffer, qsizetype length);
    // One read of up to `length` bytes, retried only on interruption.
    qsizetype readOnce(char *buffer, qsizetype length);
    // Reads from the current position to the end of the file; 0 or the
    // error, EFBIG where that is more than maxBytesInMemory.
    int readAll(QByteArray &out);

private:
    int m_fd = -1;
    struct stat m_stat
    {
    };
};

} // namespace notes
