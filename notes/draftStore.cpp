// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "draftStore.h"

#include "noteWriter.h"
#include "posixFile.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace notes {

namespace {

const char draftSuffix[] = ".draft";
const char lockSuffix[] = ".lock";
const char magic[] = "Tavlo draft 1\n";

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

DraftResult failure(int error)
{
    return {false, errorText(error)};
}

// Makes every missing directory of the path, readable by the user alone;
// the ones that exist are left as they are. 0 or the error.
int makeDirectories(const QByteArray &path)
{
    for (qsizetype slash = path.indexOf('/', 1);; slash = path.indexOf('/', slash + 1)) {
        const QByteArray prefix = slash < 0 ? path : path.left(slash);
        if (::mkdir(prefix.constData(), 0700) != 0 && errno != EEXIST)
            return errno;
        if (slash < 0)
            break;
    }
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

QByteArray stampText(const FileStamp &stamp)
{
    if (!stamp.exists)
        return QByteArrayLiteral("new");
    return QByteArray::number(stamp.device) + ' ' + QByteArray::number(stamp.inode) + ' '
        + QByteArray::number(stamp.size) + ' ' + QByteArray::number(stamp.modifiedNs);
}

bool parseStamp(const QByteArray &text, FileStamp &stamp)
{
    stamp = FileStamp();
    if (text == "new")
        return true;
    const QList<QByteArray> fields = text.split(' ');
    if (fields.size() != 4)
        return false;
    bool ok[4];
    stamp.device = fields[0].toULongLong(&ok[0]);
    stamp.inode = fields[1].toULongLong(&ok[1]);
    stamp.size = fields[2].toLongLong(&ok[2]);
    stamp.modifiedNs = fields[3].toLongLong(&ok[3]);
    stamp.exists = true;
    return std::all_of(ok, ok + 4, [](bool b) { return b; });
}

// UTF-8 cannot hold a lone surrogate (a byte of a name or a note that was
// not valid in its encoding may be one): such a text is kept as UTF-16.
bool fitsUtf8(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else
            return false;
    }
    return true;
}

QByteArray lockOf(const QByteArray &draftFile)
{
    return draftFile.left(draftFile.size() - qsizetype(sizeof draftSuffix - 1)) + lockSuffix;
}

// Whether a running program holds the lock of the draft. A missing lock file
// means no program holds it: the lock file is in place before the first
// draft is written, and removed only after the last.
bool isOwned(const QByteArray &draftFile)
{
    const int fd = ::open(lockOf(draftFile).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

} // namespace

QByteArray encodeDraft(const Draft &draft)
{
    const bool utf8 = fitsUtf8(draft.text);
    const QByteArray body = utf8
        ? draft.text.toUtf8()
        : QByteArray(reinterpret_cast<const char *>(draft.text.utf16()), draft.text.size() * 2);
    QByteArray bytes = magic;
    bytes += "directory " + draft.workingDirectory.toPercentEncoding("/") + '\n';
    bytes += "note " + draft.notePath.toPercentEncoding("/") + '\n';
    bytes += "loaded " + stampText(draft.loaded) + '\n';
    bytes += QByteArray(utf8 ? "utf-8 " : "utf-16 ") + QByteArray::number(body.size()) + "\n\n";
    bytes += body;
    return bytes;
}

bool decodeDraft(const QByteArray &bytes, Draft &draft)
{
    if (!bytes.startsWith(magic))
        return false;
    const qsizetype headEnd = bytes.indexOf("\n\n");
    if (headEnd < 0)
        return false;
    const QList<QByteArray> lines
        = bytes.mid(qsizetype(sizeof magic - 1), headEnd - qsizetype(sizeof magic - 1)).split('\n');
    if (lines.size() != 4 || !lines[0].startsWith("directory ") || !lines[1].startsWith("note ")
        || !lines[2].startsWith("loaded "))
        return false;
    draft.workingDirectory = QByteArray::fromPercentEncoding(lines[0].mid(10));
    draft.notePath = QByteArray::fromPercentEncoding(lines[1].mid(5));
    if (!parseStamp(lines[2].mid(7), draft.loaded))
        return false;
    const QList<QByteArray> body = lines[3].split(' ');
    bool ok = false;
    const qsizetype length = body.size() == 2 ? qsizetype(body[1].toLongLong(&ok)) : -1;
    const qsizetype start = headEnd + 2;
    // The writer puts a draft in place whole; a length that does not match
    // is not a draft this program wrote.
    if (!ok || length != bytes.size() - start)
        return false;
    if (body[0] == "utf-8") {
        draft.text = QString::fromUtf8(bytes.constData() + start, length);
    } else if (body[0] == "utf-16" && length % 2 == 0) {
        draft.text.resize(length / 2);
        std::memcpy(draft.text.data(), bytes.constData() + start, size_t(length));
    } else {
        return false;
    }
    return !draft.workingDirectory.isEmpty() && !draft.notePath.isEmpty();
}

QByteArray DraftStore::defaultDirectory()
{
    QByteArray state = qgetenv("XDG_STATE_HOME");
    // A relative path there is to be ignored.
    if (!state.startsWith('/')) {
        const QByteArray home = qgetenv("HOME");
        if (!home.startsWith('/'))
            return {};
        state = home + "/.local/state";
    }
    return state + "/tavlo/drafts";
}

QByteArray DraftStore::currentDirectory()
{
    QByteArray path(PATH_MAX, Qt::Uninitialized);
    if (!::getcwd(path.data(), size_t(path.size())))
        return {};
    path.truncate(qsizetype(std::strlen(path.constData())));
    return path;
}

DraftStore::DraftStore(QByteArray directory)
    : m_directory(std::move(directory))
{
    const quint64 random = QRandomGenerator::system()->generate64();
    m_identity = QByteArray::number(random, 16).rightJustified(16, '0');
}

DraftStore::~DraftStore()
{
    if (m_lockFd < 0)
        return;
    // With a draft left behind the lock file stays, for the next run to find
    // the draft unowned.
    if (!m_hasDraft)
        ::unlink((m_directory + '/' + m_identity + lockSuffix).constData());
    ::close(m_lockFd);
}

DraftResult DraftStore::takeLock()
{
    if (m_lockFd >= 0)
        return {true, {}};
    if (m_directory.isEmpty())
        return {false,
                QCoreApplication::translate("notes", "There is no home directory to keep it in.")};
    if (const int error = makeDirectories(m_directory))
        return failure(error);
    // The lock file appears under its name already locked, so that no other
    // program ever sees it unlocked while this one runs.
    QByteArray temporary = m_directory + "/.lock-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return failure(errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0
        || ::rename(temporary.constData(),
                    (m_directory + '/' + m_identity + lockSuffix).constData())
            != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        ::close(fd);
        return failure(error);
    }
    m_lockFd = fd;
    return {true, {}};
}

DraftResult DraftStore::write(const Draft &draft)
{
    std::lock_guard lock(m_mutex);
    const DraftResult locked = takeLock();
    if (!locked.ok)
        return locked;
    const QByteArray path = m_directory + '/' + m_identity + draftSuffix;
    // The first draft is made empty, for the user alone, so that the writer
    // keeps its mode rather than asking for the process's umask, which it
    // cannot read without setting it for every thread at once. An empty
    // draft holds nothing and is never offered.
    if (!m_hasDraft) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return failure(errno);
        ::close(fd);
        m_hasDraft = true;
    }
    const WriteResult written = writeNote(path, encodeDraft(draft));
    return written.ok() ? DraftResult {true, {}} : failure(written.error);
}

void DraftStore::remove()
{
    std::lock_guard lock(m_mutex);
    if (!m_hasDraft)
        return;
    ::unlink((m_directory + '/' + m_identity + draftSuffix).constData());
    m_hasDraft = false;
}

bool DraftStore::hasDraft() const
{
    std::lock_guard lock(m_mutex);
    return m_hasDraft;
}

QList<StoredDraft> DraftStore::unowned(const QByteArray &workingDirectory) const
{
    QList<StoredDraft> found;
    DIR *dir = ::opendir(m_directory.constData());
    if (!dir)
        return found;
    const QByteArray own = m_identity + draftSuffix;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        // Dot-files are the writer's temporary files and locks being made.
        if (name.startsWith('.') || !name.endsWith(draftSuffix) || name == own)
            continue;
        StoredDraft stored;
        stored.file = m_directory + '/' + name;
        if (isOwned(stored.file))
            continue;
        PosixFile file;
        QByteArray bytes;
        const int error = file.openForReading(stored.file) ? file.readAll(bytes) : errno;
        if (error != 0) {
            stored.reason = errorText(error);
        } else if (bytes.isEmpty()) {
            // Made for a first draft that was never written.
            removeStored(stored.file);
            continue;
        } else {
            stored.readable = decodeDraft(bytes, stored.draft);
            if (!stored.readable)
                stored.reason
                    = QCoreApplication::translate("notes", "It is not a draft this program wrote.");
            const struct stat &st = file.status();
            stored.writtenMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
        }
        if (stored.readable && stored.draft.workingDirectory != workingDirectory)
            continue;
        found.append(stored);
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(), [](const StoredDraft &a, const StoredDraft &b) {
        return a.writtenMs != b.writtenMs ? a.writtenMs < b.writtenMs : a.file < b.file;
    });
    return found;
}

void DraftStore::removeStored(const QByteArray &file)
{
    ::unlink(file.constData());
    ::unlink(lockOf(file).constData());
}

QByteArray DraftStore::setAside(const QByteArray &file)
{
    const QByteArray aside = file + ".unreadable";
    if (::rename(file.constData(), aside.constData()) != 0)
        return {};
    ::unlink(lockOf(file).constData());
    return aside;
}

} // namespace notes
