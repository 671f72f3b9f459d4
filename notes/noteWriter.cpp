// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// Writes notes itself rather than through QSaveFile, which would not give:
// a temporary file whose name begins with a dot (never listed as a note, even
// when a crash leaves it behind), the directory flushed after the rename (so
// that a power cut cannot undo a save reported as done), the owner kept when
// root saves another user's note, a note that is a link written through to
// its target, and the in-place write with its space reserved first where the
// directory refuses new files.
#include "noteWriter.h"

#include "localPaths.h"

#include <QByteArray>

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace notes {

namespace {

// The most links followed one after another, as the kernel follows them
// when it opens a path (ELOOP beyond).
constexpr int maxLinkDepth = 40;

// Follows a chain of links to the file they finally name, which may not exist
// yet (a dangling link is written through, creating its target).
QByteArray resolveLinks(QByteArray path)
{
    for (int depth = 0; depth < maxLinkDepth; ++depth) {
        struct stat st;
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (length <= 0 || length == target.size())
            return path;
        target.truncate(length);
        path = target.startsWith('/') ? target : directoryOf(path) + '/' + target;
    }
    return path;
}

// Flushes the directory's entries to disk; 0 or the error. A directory that
// may be written but not read cannot be opened to be flushed, and some file
// systems refuse to flush a directory alone (EINVAL): flushing the whole file
// system through the descriptor of a file in it then does it.
int syncDirectory(const QByteArray &directory, int fileInIt)
{
    const int fd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int error = 0;
    if (fd >= 0) {
        error = ::fsync(fd) == 0 ? 0 : errno;
        ::close(fd);
    }
    if (fd < 0 || error == EINVAL)
        error = ::syncfs(fileInIt) == 0 ? 0 : errno;
    return error;
}

WriteResult failure(int error)
{
    WriteResult result;
    result.error = error;
    return result;
}

// Reserves the first `size` bytes of the file; 0 or the error. The file keeps
// its size, so that a power cut before the new text is flushed cannot leave
// the old text followed by zeros. Where the file system cannot reserve space
// that way, posix_fallocate grows the file (writing zeros if need be).
int reserveSpace(int fd, off_t size)
{
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) == 0)
        return 0;
    if (errno != EOPNOTSUPP)
        return errno;
    return ::posix_fallocate(fd, 0, size);
}

// The stamp of what was written, from the descriptor it was written through.
FileStamp stampOfOpen(int fd)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 ? stampFrom(st) : FileStamp();
}

// Used only where no temporary file can be made beside the note. The space
// for the new text is reserved before the old text is touched, so a full
// disk fails without damage where the file system can reserve space.
WriteResult writeInPlace(const QByteArray &target, const QByteArray &bytes)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return failure(errno);
    if (!bytes.isEmpty() && reserveSpace(fd, off_t(bytes.size())) == ENOSPC) {
        ::close(fd);
        return failure(ENOSPC);
    }
    int error = writeAll(fd, bytes, 0);
    if (error == 0 && (::ftruncate(fd, off_t(bytes.size())) != 0 || ::fsync(fd) != 0))
        error = errno;
    if (error != 0) {
        ::close(fd);
        return failure(error);
    }
    WriteResult result;
    result.stamp = stampOfOpen(fd);
    if (::close(fd) != 0)
        return failure(errno);
    return result;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

WriteResult writeNote(const QByteArray &localPath, const QByteArray &bytes)
{
    const QByteArray target = resolveLinks(localPath);
    struct stat old;
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return failure(errno);
    if (exists && S_ISDIR(old.st_mode))
        return failure(EISDIR);
    if (exists && !S_ISREG(old.st_mode))
        return failure(EINVAL);

    const QByteArray directory = directoryOf(target);
    QByteArray temporary = directory + '/' + temporaryPrefix + "XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (exists && (error == EACCES || error == EPERM))
            return writeInPlace(target, bytes);
        return failure(error);
    }

    auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return failure(error);
    };
    if (::fchmod(fd, exists ? (old.st_mode & 07777) : newFileMode()) != 0)
        return abandon(errno);
    // Root's new file would make the note root's. Where it cannot be given
    // back (a file system without owners, root squashed on NFS), the save
    // fails rather than take the note from its owner.
    if (exists && ::geteuid() == 0 && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return abandon(errno);
    if (const int error = writeAll(fd, bytes))
        return abandon(error);
    if (::fsync(fd) != 0)
        return abandon(errno);
    if (::rename(temporary.constData(), target.constData()) != 0)
        return abandon(errno);
    // Until the directory is flushed, a power cut may undo the rename: the
    // save is not done before that.
    WriteResult result;
    result.stamp = stampOfOpen(fd);
    int error = syncDirectory(directory, fd);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        return failure(error);
    return result;
}

} // namespace notes
