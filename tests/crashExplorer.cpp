// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "crashExplorer.h"

#include <QSet>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

// A change to a file's content or size not yet persisted.
struct Piece
{
    enum class Kind { Bytes, SetSize, GrowTo };
    Kind kind;
    qint64 offset = 0;
    QByteArray data;
    qint64 size = 0;
};

struct Inode
{
    QByteArray durable;
    QList<Piece> pending;
    qint64 liveSize = 0; // with every pending piece applied
};

// A change to the directory not yet persisted: a name made (from empty),
// removed (to empty) or renamed.
struct DirChange
{
    QByteArray from;
    QByteArray to;
    quint64 inode = 0;
};

void resizeWithZeros(QByteArray &bytes, qint64 size)
{
    const qsizetype old = bytes.size();
    bytes.resize(qsizetype(size));
    if (size > old)
        std::memset(bytes.data() + old, 0, size_t(size - old));
}

void applyPiece(QByteArray &bytes, const Piece &piece)
{
    switch (piece.kind) {
    case Piece::Kind::Bytes:
        if (bytes.size() < piece.offset + piece.data.size())
            resizeWithZeros(bytes, piece.offset + piece.data.size());
        std::memcpy(bytes.data() + piece.offset, piece.data.constData(), size_t(piece.data.size()));
        break;
    case Piece::Kind::SetSize:
        resizeWithZeros(bytes, piece.size);
        break;
    case Piece::Kind::GrowTo:
        if (bytes.size() < piece.size)
            resizeWithZeros(bytes, piece.size);
        break;
    }
}

void applyChange(QMap<QByteArray, quint64> &names, const DirChange &change)
{
    if (!change.from.isEmpty())
        names.remove(change.from);
    if (!change.to.isEmpty())
        names.insert(change.to, change.inode);
}

// The state of the disk after some operations: what is persisted and what
// is pending.
struct Simulation
{
    QByteArray directory;
    QMap<QByteArray, quint64> durableNames;
    QMap<QByteArray, quint64> liveNames;
    QList<DirChange> pendingNames;
    QHash<quint64, Inode> inodes;
    QHash<int, quint64> fileFds;
    QSet<int> directoryFds;

    // The entry name of a path in the directory, or a null array for a path
    // elsewhere, which the model leaves out.
    QByteArray nameOf(const QByteArray &path) const
    {
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray dir = slash < 0 ? QByteArray(".") : path.left(slash);
        return dir == directory ? path.mid(slash + 1) : QByteArray();
    }

    void persistNames()
    {
        for (const DirChange &change : std::as_const(pendingNames))
            applyChange(durableNames, change);
        pendingNames.clear();
    }

    void persist(Inode &inode)
    {
        for (const Piece &piece : std::as_const(inode.pending))
            applyPiece(inode.durable, piece);
        inode.pending.clear();
    }

    void addPiece(int fd, Piece piece)
    {
        if (!fileFds.contains(fd))
            return;
        Inode &inode = inodes[fileFds.value(fd)];
        switch (piece.kind) {
        case Piece::Kind::Bytes:
            inode.liveSize = std::max(inode.liveSize, piece.offset + piece.data.size());
            break;
        case Piece::Kind::SetSize:
            // Setting the size a file already has changes nothing on disk.
            if (piece.size == inode.liveSize)
                return;
            inode.liveSize = piece.size;
            break;
        case Piece::Kind::GrowTo:
            inode.liveSize = std::max(inode.liveSize, piece.size);
            break;
        }
        inode.pending.append(std::move(piece));
    }

    void apply(const FileOp &op)
    {
        switch (op.kind) {
        case FileOp::Kind::Create:
        case FileOp::Kind::Open: {
            if (op.directory) {
                directoryFds.insert(op.fd);
                break;
            }
            fileFds.insert(op.fd, op.inode);
            const QByteArray name = nameOf(op.path);
            if (op.kind == FileOp::Kind::Create) {
                inodes.insert(op.inode, Inode());
                if (!name.isEmpty()) {
                    pendingNames.append({QByteArray(), name, op.inode});
                    liveNames.insert(name, op.inode);
                }
            }
            break;
        }
        case FileOp::Kind::Write:
            // Each block the write touches persists or not on its own.
            for (qint64 at = 0; at < op.data.size();) {
                const qint64 offset = op.offset + at;
                const qint64 blockEnd
                    = (offset / CrashExplorer::blockSize + 1) * CrashExplorer::blockSize;
                const qint64 length = std::min<qint64>(blockEnd - offset, op.data.size() - at);
                addPiece(op.fd, {Piece::Kind::Bytes, offset, op.data.mid(at, length), 0});
                at += length;
            }
            break;
        case FileOp::Kind::Reserve:
            if (op.length >= 0)
                addPiece(op.fd, {Piece::Kind::GrowTo, 0, QByteArray(), op.length});
            break;
        case FileOp::Kind::Truncate:
            addPiece(op.fd, {Piece::Kind::SetSize, 0, QByteArray(), op.length});
            break;
        case FileOp::Kind::Fsync:
            if (directoryFds.contains(op.fd))
                persistNames();
            else if (fileFds.contains(op.fd))
                persist(inodes[fileFds.value(op.fd)]);
            break;
        case FileOp::Kind::Syncfs:
            persistNames();
            for (Inode &inode : inodes)
                persist(inode);
            break;
        case FileOp::Kind::Close:
            fileFds.remove(op.fd);
            directoryFds.remove(op.fd);
            break;
        case FileOp::Kind::Rename: {
            const QByteArray from = nameOf(op.path);
            const QByteArray to = nameOf(op.target);
            if (from.isEmpty() || to.isEmpty() || !liveNames.contains(from))
                break;
            const quint64 inode = liveNames.take(from);
            liveNames.insert(to, inode);
            pendingNames.append({from, to, inode});
            break;
        }
        case FileOp::Kind::Unlink: {
            const QByteArray name = nameOf(op.path);
            if (!name.isEmpty() && liveNames.remove(name))
                pendingNames.append({name, QByteArray(), 0});
            break;
        }
        case FileOp::Kind::Chmod:
        case FileOp::Kind::Chown:
            // Permissions and owner are not part of the note's text.
            break;
        }
    }
};

// Whether the operation is an fsync of a directory, tracking open
// descriptors up to it.
QList<bool> directoryFsyncs(const QList<FileOp> &ops)
{
    QList<bool> result;
    QSet<int> directoryFds;
    for (const FileOp &op : ops) {
        if (op.kind == FileOp::Kind::Open && op.directory)
            directoryFds.insert(op.fd);
        else if (op.kind == FileOp::Kind::Close)
            directoryFds.remove(op.fd);
        result.append((op.kind == FileOp::Kind::Fsync && directoryFds.contains(op.fd))
                      || op.kind == FileOp::Kind::Syncfs);
    }
    return result;
}

} // namespace

CrashExplorer::CrashExplorer(const QByteArray &directory, const QMap<QByteArray, quint64> &names,
                             const QHash<quint64, QByteArray> &contents)
    : m_directory(directory)
    , m_names(names)
    , m_contents(contents)
{ }

qint64 CrashExplorer::explore(const QList<FileOp> &ops,
                              const std::function<void(int, const Files &)> &visit, bool *sampled,
                              qint64 limit) const
{
    std::mt19937_64 random(20261209);
    qint64 visited = 0;
    for (int done = 0; done <= ops.size(); ++done) {
        Simulation sim;
        sim.directory = m_directory;
        sim.durableNames = m_names;
        sim.liveNames = m_names;
        for (auto it = m_contents.cbegin(); it != m_contents.cend(); ++it)
            sim.inodes.insert(it.key(), Inode {it.value(), {}, it.value().size()});
        for (int i = 0; i < done; ++i)
            sim.apply(ops.at(i));

        const int changes = int(sim.pendingNames.size());
        for (quint64 nameMask = 0; nameMask < (quint64(1) << changes); ++nameMask) {
            QMap<QByteArray, quint64> names = sim.durableNames;
            for (int c = 0; c < changes; ++c) {
                if (nameMask & (quint64(1) << c))
                    applyChange(names, sim.pendingNames.at(c));
            }
            // The files these names show, each with its pending pieces.
            QList<quint64> shown;
            qint64 combinations = 1;
            int bits = 0;
            for (const quint64 inode : std::as_const(names)) {
                const int pieces = int(sim.inodes.value(inode).pending.size());
                if (pieces == 0 || shown.contains(inode))
                    continue;
                shown.append(inode);
                bits += pieces;
                combinations = bits < 62 ? combinations << pieces : limit + 1;
            }
            const bool sample = combinations > limit;
            if (sample && sampled)
                *sampled = true;
            const qint64 count = sample ? limit : combinations;
            for (qint64 n = 0; n < count; ++n) {
                // One bit per pending piece, in the order of `shown`.
                quint64 choice = quint64(n);
                QHash<quint64, QByteArray> bytes;
                for (const quint64 inode : std::as_const(shown)) {
                    const Inode &file = sim.inodes.value(inode);
                    QByteArray content = file.durable;
                    for (const Piece &piece : file.pending) {
                        if (sample ? (random() & 1) : (choice & 1))
                            applyPiece(content, piece);
                        choice >>= 1;
                    }
                    bytes.insert(inode, content);
                }
                Files files;
                for (auto it = names.cbegin(); it != names.cend(); ++it) {
                    files.insert(it.key(),
                                 bytes.contains(it.value()) ? bytes.value(it.value())
                                                            : sim.inodes.value(it.value()).durable);
                }
                visit(done, files);
                ++visited;
            }
        }
    }
    return visited;
}

QList<FileOp> CrashExplorer::withoutFileFsync(QList<FileOp> ops)
{
    const QList<bool> directory = directoryFsyncs(ops);
    for (qsizetype i = ops.size() - 1; i >= 0; --i) {
        if (ops.at(i).kind == FileOp::Kind::Fsync && !directory.at(i))
            ops.removeAt(i);
    }
    return ops;
}

QList<FileOp> CrashExplorer::withoutDirectoryFsync(QList<FileOp> ops)
{
    const QList<bool> directory = directoryFsyncs(ops);
    for (qsizetype i = ops.size() - 1; i >= 0; --i) {
        if (directory.at(i))
            ops.removeAt(i);
    }
    return ops;
}

QList<FileOp> CrashExplorer::renamedBeforeFlush(QList<FileOp> ops)
{
    const QList<bool> directory = directoryFsyncs(ops);
    const auto rename = std::find_if(
        ops.cbegin(), ops.cend(), [](const FileOp &op) { return op.kind == FileOp::Kind::Rename; });
    if (rename == ops.cend())
        return ops;
    const qsizetype renameAt = rename - ops.cbegin();
    for (qsizetype i = 0; i < renameAt; ++i) {
        if (ops.at(i).kind == FileOp::Kind::Fsync && !directory.at(i)) {
            ops.move(renameAt, i);
            break;
        }
    }
    return ops;
}
