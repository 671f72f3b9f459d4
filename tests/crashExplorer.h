// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include "fileOpRecorder.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>

#include <functional>

// Builds every state one directory could be left in by a power cut after any
// prefix of a recorded list of file system operations, under this model:
//
// - Bytes written to a file, its size changes and reservations that grow it
//   persist once the file is fsynced. Until then each of them may be lost or
//   kept, independently, at the granularity of 4096-byte blocks: a write
//   that spans three blocks may leave any of the eight combinations of them.
// - A directory entry created, renamed or removed persists once the directory
//   is fsynced. Until then each such change may or may not have happened,
//   independently of the others; a rename happens whole or not at all.
// - fsync of a file says nothing about its directory entry, nor fsync of the
//   directory about the files' bytes. syncfs persists everything.
// - What was persisted before the recording is all there.
class CrashExplorer
{
public:
    static constexpr qint64 blockSize = 4096;

    // A disk state: the names in the directory and the bytes each holds.
    using Files = QMap<QByteArray, QByteArray>;

    // `directory` is the directory as the operations name it; `names` maps
    // its entries to inode numbers and `contents` the inodes to their bytes
    // before the first operation.
    CrashExplorer(const QByteArray &directory, const QMap<QByteArray, quint64> &names,
                  const QHash<quint64, QByteArray> &contents);

    // Calls `visit` with the number of operations done and each state the
    // disk may then be in; returns how many states were visited. When one
    // prefix allows more than `limit` states, `limit` of them chosen at
    // random (with a fixed seed) stand for them and `sampled` is set.
    qint64 explore(const QList<FileOp> &ops,
                   const std::function<void(int done, const Files &files)> &visit,
                   bool *sampled = nullptr, qint64 limit = 1 << 16) const;

    // Variants of a correct save, each of which a checker must catch.
    static QList<FileOp> withoutFileFsync(QList<FileOp> ops);
    static QList<FileOp> withoutDirectoryFsync(QList<FileOp> ops);
    static QList<FileOp> renamedBeforeFlush(QList<FileOp> ops);

private:
    QByteArray m_directory;
    QMap<QByteArray, quint64> m_names;
    QHash<quint64, QByteArray> m_contents;
};
