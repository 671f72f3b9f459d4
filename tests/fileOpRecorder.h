// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>

// The file system calls that change what is on disk, as the code under test
// made them. The test binary is linked with -Wl,--wrap for each of them, so
// the calls of the code linked into it (the notes library) go through
// recording wrappers while Qt's own calls do not.
struct FileOp
{
    enum class Kind {
        Create, // a new file made by name (mkostemp, or open with O_CREAT)
        Open, // an existing file or directory opened
        Write, // bytes at an offset
        Reserve, // space reserved; `length` is the size the file may grow to
        Truncate, // the size set to `length`
        Chmod,
        Chown,
        Fsync,
        Syncfs,
        Close,
        Rename,
        Unlink,
    };
    explicit FileOp(Kind kind)
        : kind(kind)
    { }

    Kind kind;
    int fd = -1;
    QByteArray path; // Create, Open, Rename (from), Unlink
    QByteArray target; // Rename (to)
    bool directory = false; // Open of a directory
    quint64 inode = 0; // Create, Open
    qint64 offset = 0; // Write
    qint64 length = 0; // Reserve, Truncate
    QByteArray data; // Write

    QString describe() const;
};

// Records the successful calls made between construction and destruction.
// One recording at a time.
class FileOpRecording
{
public:
    FileOpRecording();
    ~FileOpRecording();
    FileOpRecording(const FileOpRecording &) = delete;
    FileOpRecording &operator=(const FileOpRecording &) = delete;

    const QList<FileOp> &ops() const;
};
