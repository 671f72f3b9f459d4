// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "fileOpRecorder.h"

#include <cstdarg>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

// Each call is made for real and recorded only when it succeeded. The
// wrappers are chosen at link time (-Wl,--wrap) rather than by interposing
// with dlsym(RTLD_NEXT): that way only the calls of the statically linked
// notes library and of this test are seen, never the writes Qt makes to the
// test log, and nothing depends on the dynamic loader. The 64-bit names are
// wrapped too, as _FILE_OFFSET_BITS=64 makes the library call them; the
// others take the native offset type (__off_t), whatever off_t is made.

namespace {

QList<FileOp> *recording = nullptr;

void record(FileOp op)
{
    if (recording)
        recording->append(std::move(op));
}

void recordOpened(int fd, const char *path, bool created)
{
    if (!recording || fd < 0)
        return;
    struct stat st
    {
    };
    ::fstat(fd, &st);
    FileOp op(created ? FileOp::Kind::Create : FileOp::Kind::Open);
    op.fd = fd;
    op.path = path;
    op.inode = quint64(st.st_ino);
    op.directory = S_ISDIR(st.st_mode);
    record(op);
}

void recordWrite(int fd, const void *buffer, ssize_t written, qint64 offset)
{
    if (!recording || written <= 0)
        return;
    FileOp op(FileOp::Kind::Write);
    op.fd = fd;
    op.offset = offset;
    op.data = QByteArray(static_cast<const char *>(buffer), qsizetype(written));
    record(op);
}

void recordFd(FileOp::Kind kind, int fd, qint64 length = 0)
{
    FileOp op(kind);
    op.fd = fd;
    op.length = length;
    record(op);
}

void recordReserve(int fd, qint64 end, bool growsFile)
{
    FileOp op(FileOp::Kind::Reserve);
    op.fd = fd;
    op.length = growsFile ? end : -1;
    record(op);
}

} // namespace

QString FileOp::describe() const
{
    const QString name = QString::fromLocal8Bit(path.mid(path.lastIndexOf('/') + 1));
    switch (kind) {
    case Kind::Create:
        return QStringLiteral("create %1").arg(name);
    case Kind::Open:
        return QStringLiteral("open %1").arg(name);
    case Kind::Write:
        return QStringLiteral("write %1 bytes at %2 (fd %3)").arg(data.size()).arg(offset).arg(fd);
    case Kind::Reserve:
        return length < 0 ? QStringLiteral("reserve space (fd %1)").arg(fd)
                          : QStringLiteral("reserve %1 bytes (fd %2)").arg(length).arg(fd);
    case Kind::Truncate:
        return QStringLiteral("truncate to %1 (fd %2)").arg(length).arg(fd);
    case Kind::Chmod:
        return QStringLiteral("fchmod (fd %1)").arg(fd);
    case Kind::Chown:
        return QStringLiteral("fchown (fd %1)").arg(fd);
    case Kind::Fsync:
        return QStringLiteral("fsync (fd %1)").arg(fd);
    case Kind::Syncfs:
        return QStringLiteral("syncfs (fd %1)").arg(fd);
    case Kind::Close:
        return QStringLiteral("close (fd %1)").arg(fd);
    case Kind::Rename:
        return QStringLiteral("rename %1 to %2")
            .arg(name, QString::fromLocal8Bit(target.mid(target.lastIndexOf('/') + 1)));
    case Kind::Unlink:
        return QStringLiteral("unlink %1").arg(name);
    }
    return QString();
}

FileOpRecording::FileOpRecording()
{
    Q_ASSERT(!recording);
    recording = new QList<FileOp>;
}

FileOpRecording::~FileOpRecording()
{
    delete recording;
    recording = nullptr;
}

const QList<FileOp> &FileOpRecording::ops() const
{
    return *recording;
}

extern "C" {

int __real_open(const char *path, int flags, ...);
int __real_open64(const char *path, int flags, ...);
int __real_mkostemp(char *pattern, int flags);
int __real_mkostemp64(char *pattern, int flags);
ssize_t __real_write(int fd, const void *buffer, size_t count);
ssize_t __real_pwrite(int fd, const void *buffer, size_t count, __off_t offset);
ssize_t __real_pwrite64(int fd, const void *buffer, size_t count, off64_t offset);
int __real_posix_fallocate(int fd, __off_t offset, __off_t length);
int __real_posix_fallocate64(int fd, off64_t offset, off64_t length);
int __real_fallocate(int fd, int mode, __off_t offset, __off_t length);
int __real_fallocate64(int fd, int mode, off64_t offset, off64_t length);
int __real_ftruncate(int fd, __off_t length);
int __real_ftruncate64(int fd, off64_t length);
int __real_fchmod(int fd, mode_t mode);
int __real_fchown(int fd, uid_t owner, gid_t group);
int __real_fsync(int fd);
int __real_syncfs(int fd);
int __real_close(int fd);
int __real_rename(const char *from, const char *to);
int __real_unlink(const char *path);

int __wrap_open(const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
    va_end(args);
    const int fd = __real_open(path, flags, mode);
    recordOpened(fd, path, flags & O_CREAT);
    return fd;
}

int __wrap_open64(const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
    va_end(args);
    const int fd = __real_open64(path, flags, mode);
    recordOpened(fd, path, flags & O_CREAT);
    return fd;
}

int __wrap_mkostemp(char *pattern, int flags)
{
    const int fd = __real_mkostemp(pattern, flags);
    recordOpened(fd, pattern, true);
    return fd;
}

int __wrap_mkostemp64(char *pattern, int flags)
{
    const int fd = __real_mkostemp64(pattern, flags);
    recordOpened(fd, pattern, true);
    return fd;
}

ssize_t __wrap_write(int fd, const void *buffer, size_t count)
{
    const off_t offset = recording ? ::lseek(fd, 0, SEEK_CUR) : 0;
    const ssize_t written = __real_write(fd, buffer, count);
    recordWrite(fd, buffer, written, offset);
    return written;
}

ssize_t __wrap_pwrite(int fd, const void *buffer, size_t count, __off_t offset)
{
    const ssize_t written = __real_pwrite(fd, buffer, count, offset);
    recordWrite(fd, buffer, written, offset);
    return written;
}

ssize_t __wrap_pwrite64(int fd, const void *buffer, size_t count, off64_t offset)
{
    const ssize_t written = __real_pwrite64(fd, buffer, count, offset);
    recordWrite(fd, buffer, written, offset);
    return written;
}

int __wrap_posix_fallocate(int fd, __off_t offset, __off_t length)
{
    const int error = __real_posix_fallocate(fd, offset, length);
    if (error == 0)
        recordReserve(fd, offset + length, true);
    return error;
}

int __wrap_posix_fallocate64(int fd, off64_t offset, off64_t length)
{
    const int error = __real_posix_fallocate64(fd, offset, length);
    if (error == 0)
        recordReserve(fd, offset + length, true);
    return error;
}

int __wrap_fallocate(int fd, int mode, __off_t offset, __off_t length)
{
    const int result = __real_fallocate(fd, mode, offset, length);
    if (result == 0)
        recordReserve(fd, offset + length, !(mode & FALLOC_FL_KEEP_SIZE));
    return result;
}

int __wrap_fallocate64(int fd, int mode, off64_t offset, off64_t length)
{
    const int result = __real_fallocate64(fd, mode, offset, length);
    if (result == 0)
        recordReserve(fd, offset + length, !(mode & FALLOC_FL_KEEP_SIZE));
    return result;
}

int __wrap_ftruncate(int fd, __off_t length)
{
    const int result = __real_ftruncate(fd, length);
    if (result == 0)
        recordFd(FileOp::Kind::Truncate, fd, length);
    return result;
}

int __wrap_ftruncate64(int fd, off64_t length)
{
    const int result = __real_ftruncate64(fd, length);
    if (result == 0)
        recordFd(FileOp::Kind::Truncate, fd, length);
    return result;
}

int __wrap_fchmod(int fd, mode_t mode)
{
    const int result = __real_fchmod(fd, mode);
    if (result == 0)
        recordFd(FileOp::Kind::Chmod, fd);
    return result;
}

int __wrap_fchown(int fd, uid_t owner, gid_t group)
{
    const int result = __real_fchown(fd, owner, group);
    if (result == 0)
        recordFd(FileOp::Kind::Chown, fd);
    return result;
}

int __wrap_fsync(int fd)
{
    const int result = __real_fsync(fd);
    if (result == 0)
        recordFd(FileOp::Kind::Fsync, fd);
    return result;
}

int __wrap_syncfs(int fd)
{
    const int result = __real_syncfs(fd);
    if (result == 0)
        recordFd(FileOp::Kind::Syncfs, fd);
    return result;
}

int __wrap_close(int fd)
{
    const int result = __real_close(fd);
    recordFd(FileOp::Kind::Close, fd);
    return result;
}

int __wrap_rename(const char *from, const char *to)
{
    const int result = __real_rename(from, to);
    if (result == 0) {
        FileOp op(FileOp::Kind::Rename);
        op.path = from;
        op.target = to;
        record(op);
    }
    return result;
}

int __wrap_unlink(const char *path)
{
    const int result = __real_unlink(path);
    if (result == 0) {
        FileOp op(FileOp::Kind::Unlink);
        op.path = path;
        record(op);
    }
    return result;
}

} // extern "C"
