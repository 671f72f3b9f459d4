// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "noteTrash.h"

#include "localPaths.h"
#include "notePaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The trash is written here rather than through QFile::moveToTrash, which in
// Qt 6.4 loops forever when the record of a trashed file cannot be created
// (a full disk, a name too long for the ".trashinfo" after it), takes the
// working directory for the trash where it finds none, records the original
// path unescaped, and cannot name a file whose name is not valid UTF-8.

namespace notes {

namespace {

constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr char infoSuffix[] = ".trashinfo";
// A note whose name is taken in the trash goes there as name.1, name.2 and
// so on, up to this many names in all.
constexpr int maxTrashNames = 1000;
// Room kept in a trashed name for the dot and the number after it.
constexpr qsizetype numberRoom = 6;

// Makes the directory and whatever is missing above it, each readable by the
// owner only. QDir::mkpath would give the parents the umask's permissions,
// where a new data directory is to be private to its owner.
bool makePrivatePath(const QString &path)
{
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).path();
    if (parent == path || !makePrivatePath(parent))
        return false;
    return QDir().mkdir(path, ownerOnly) || QFileInfo(path).isDir();
}

QByteArray realDirectory(const QByteArray &path)
{
    char *real = ::realpath(path.constData(), nullptr);
    if (!real)
        return QByteArray();
    QByteArray result(real);
    std::free(real);
    return result;
}

bool isOwnDirectory(const QByteArray &path, bool sticky = false)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode)
        && (sticky ? (st.st_mode & S_ISVTX) != 0 : st.st_uid == ::getuid());
}

// The trash at the top of the file system that holds `directory` (on device
// `device`): $topdir/.Trash/$uid where an administrator made $topdir/.Trash,
// else $topdir/.Trash-$uid, made if missing. Empty where neither can be had.
// `top` is set to $topdir.
QByteArray topDirectoryTrash(const QByteArray &directory, dev_t device, QByteArray &top)
{
    top = directory;
    for (;;) {
        const QByteArray parent = directoryOf(top);
        struct stat st;
        if (parent == top || ::stat(parent.constData(), &st) != 0 || st.st_dev != device)
            break;
        top = parent;
    }
    const QByteArray base = top == "/" ? QByteArray() : top;
    const QByteArray uid = QByteArray::number(::getuid());
    const QByteArray shared = base + "/.Trash";
    if (isOwnDirectory(shared, true)) {
        const QByteArray mine = shared + '/' + uid;
        ::mkdir(mine.constData(), 0700);
        if (isOwnDirectory(mine))
            return mine;
    }
    const QByteArray mine = base + "/.Trash-" + uid;
    ::mkdir(mine.constData(), 0700);
    if (!isOwnDirectory(mine))
        return QByteArray();
    ::mkdir((mine + "/files").constData(), 0700);
    ::mkdir((mine + "/info").constData(), 0700);
    return mine;
}

// Now, as the trash's records give it: local time, to the second.
QByteArray deletionDate()
{
    const LocalMoment now = localMomentNow();
    return (now.date.toString(Qt::ISODate) + u'T' + now.time.toString(QStringLiteral("hh:mm:ss")))
        .toLatin1();
}

// Moves the file at `localPath` into the trash directory `trash`, recording
// `original` as where it came from. Its record is made first, under a name
// no other file in the trash has, and flushed, so that a trashed note always
// has one; then the note is moved.
bool moveInto(const QByteArray &trash, const QByteArray &localPath, const QByteArray &original)
{
    // The name in the trash, short enough for the record's name after it.
    const QByteArray name = localPath.mid(localPath.lastIndexOf('/') + 1);
    const QByteArray base = name.left(NAME_MAX - qsizetype(sizeof infoSuffix) - numberRoom);
    const QByteArray record = "[Trash Info]\nPath=" + original.toPercentEncoding("/")
        + "\nDeletionDate=" + deletionDate() + '\n';
    for (int attempt = 0; attempt < maxTrashNames; ++attempt) {
        const QByteArray trashed = attempt == 0 ? base : base + '.' + QByteArray::number(attempt);
        const QByteArray info = trash + "/info/" + trashed + infoSuffix;
        const QByteArray kept = trash + "/files/" + trashed;
        const int fd
            = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        struct stat st;
        const bool taken = ::lstat(kept.constData(), &st) == 0;
        const bool written = !taken && writeAll(fd, record) == 0 && ::fsync(fd) == 0;
        if (::close(fd) != 0 || !written
            || ::rename(localPath.constData(), kept.constData()) != 0) {
            ::unlink(info.constData());
            if (taken)
                continue;
            return false;
        }
        return true;
    }
    return false;
}

} // namespace

QString homeTrash()
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty())
        return QString();
    const QString trash = dataHome + QStringLiteral("/Trash");
    for (const QString &dir : {trash + QStringLiteral("/files"), trash + QStringLiteral("/info")}) {
        if (!makePrivatePath(dir))
            return QString();
    }
    return trash;
}

Disposal trashNote(const QByteArray &localPath)
{
    struct stat note;
    if (::lstat(localPath.constData(), &note) != 0 || S_ISDIR(note.st_mode))
        return Disposal::Failed;
    const QByteArray directory = realDirectory(directoryOf(localPath));
    if (!directory.isEmpty()) {
        const QByteArray name = localPath.mid(localPath.lastIndexOf('/') + 1);
        const QByteArray original = directory + (directory == "/" ? "" : "/") + name;
        // Notes are never copied to another file system: the trash must be
        // on the note's own. A note on the file system of the home trash (or
        // of the home directory, where that trash cannot be made) goes to the
        // home trash or nowhere; a top directory trash is for other ones.
        const QByteArray home = QFile::encodeName(homeTrash());
        struct stat homeStat;
        const bool homeKnown = home.isEmpty()
            ? ::stat(QFile::encodeName(QDir::homePath()).constData(), &homeStat) == 0
            : ::stat((home + "/files").constData(), &homeStat) == 0;
        if (homeKnown && homeStat.st_dev == note.st_dev) {
            if (!home.isEmpty() && moveInto(home, localPath, original))
                return Disposal::Trashed;
        } else {
            // Its record names the note from the top of its file system,
            // which may be mounted elsewhere when the note is restored.
            QByteArray top;
            const QByteArray trash = topDirectoryTrash(directory, note.st_dev, top);
            const QByteArray fromTop = original.mid(top == "/" ? 1 : top.size() + 1);
            if (!trash.isEmpty() && moveInto(trash, localPath, fromTop))
                return Disposal::Trashed;
        }
    }
    return ::unlink(localPath.constData()) == 0 ? Disposal::Removed : Disposal::Failed;
}

} // namespace notes
