#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <sys/stat.h>

namespace notes {

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
    // Size when opened.
    qsizetype size() const { return qsizetype(m_stat.st_size); }
    const struct stat &status() const { return m_stat; }
    // Reads up to `length` bytes, retrying on interruption; -1 on error.
    qsizetype read(char *buffer, qsizetype length);
    // Reads from the current position to the end of the file.
    bool readAll(QByteArray &out);

private:
    int m_fd = -1;
    struct stat m_stat
    {
    };
};

} // namespace notes
