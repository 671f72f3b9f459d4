// Writes notes itself rather than through QSaveFile, which would not give:
// a temporary file whose name begins with a dot (never listed as a note, even
// when a crash leaves it behind), the directory flushed after the rename (so
// that a power cut cannot undo a save reported as done), the owner kept when
// root saves another user's note, a note that is a link written through to
// its target, and the in-place write with its space reserved first where the
// directory refuses new files.
#include "noteWriter.h"

#include "fileNames.h"

#include <QByteArray>

#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace notes {

namespace {

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray directoryOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

// Follows a chain of links to the file they finally name, which may not exist
// yet (a dangling link is written through, creating its target).
QByteArray resolveLinks(QByteArray path)
{
    for (int depth = 0; depth < 40; ++depth) {
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

bool writeAll(int fd, const QByteArray &bytes, off_t offset = -1)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = offset < 0 ? ::write(fd, data, size_t(left))
                                           : ::pwrite(fd, data, size_t(left), offset);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
        if (offset >= 0)
            offset += written;
    }
    return true;
}

void syncDirectory(const QByteArray &directory)
{
    const int fd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

WriteResult failure(int error)
{
    WriteResult result;
    result.error = errorText(error);
    return result;
}

// Used only where no temporary file can be made beside the note. The space
// for the new text is reserved before the old text is touched, so a full
// disk fails without damage where the file system can reserve space.
WriteResult writeInPlace(const QByteArray &target, const QByteArray &bytes)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return failure(errno);
    if (!bytes.isEmpty() && ::posix_fallocate(fd, 0, off_t(bytes.size())) == ENOSPC) {
        ::close(fd);
        return failure(ENOSPC);
    }
    if (!writeAll(fd, bytes, 0) || ::ftruncate(fd, off_t(bytes.size())) != 0 || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        return failure(error);
    }
    if (::close(fd) != 0)
        return failure(errno);
    WriteResult result;
    result.ok = true;
    return result;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

WriteResult writeNote(const QString &path, const QByteArray &bytes)
{
    const QByteArray target = resolveLinks(encodeFileName(path));
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
        if (exists && (error == EACCES || error == EPERM)) {
            WriteResult result = writeInPlace(target, bytes);
            if (result.ok)
                result.stamp = stampOf(path);
            return result;
        }
        return failure(error);
    }

    auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return failure(error);
    };
    if (::fchmod(fd, exists ? (old.st_mode & 07777) : newFileMode()) != 0)
        return abandon(errno);
    if (exists && ::geteuid() == 0)
        (void)::fchown(fd, old.st_uid, old.st_gid);
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return failure(error);
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return failure(error);
    }
    syncDirectory(directory);

    WriteResult result;
    result.ok = true;
    result.stamp = stampOf(path);
    return result;
}

} // namespace notes
