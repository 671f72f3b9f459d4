#include "noteText.h"

#include "noteFiles.h"
#include "posixFile.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace notes {

namespace {

using Encoding = NoteFormat::Encoding;

QStringConverter::Encoding converterFor(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf16LE:
        return QStringConverter::Utf16LE;
    case Encoding::Utf16BE:
        return QStringConverter::Utf16BE;
    case Encoding::Utf32LE:
        return QStringConverter::Utf32LE;
    case Encoding::Utf32BE:
        return QStringConverter::Utf32BE;
    case Encoding::Latin1:
        return QStringConverter::Latin1;
    case Encoding::Utf8:
        break;
    }
    return QStringConverter::Utf8;
}

Encoding encodingFor(QStringConverter::Encoding converter)
{
    switch (converter) {
    case QStringConverter::Utf16LE:
        return Encoding::Utf16LE;
    case QStringConverter::Utf16BE:
        return Encoding::Utf16BE;
    case QStringConverter::Utf32LE:
        return Encoding::Utf32LE;
    case QStringConverter::Utf32BE:
        return Encoding::Utf32BE;
    default:
        return Encoding::Utf8;
    }
}

// The note's line break when all of its breaks are alike, "\n" otherwise.
QString lineBreakOf(QStringView text)
{
    qsizetype crlf = 0, lf = 0, cr = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++crlf;
                ++i;
            } else {
                ++cr;
            }
        } else if (text[i] == u'\n') {
            ++lf;
        }
    }
    if (crlf > 0 && lf == 0 && cr == 0)
        return QStringLiteral("\r\n");
    if (cr > 0 && crlf == 0 && lf == 0)
        return QStringLiteral("\r");
    return QStringLiteral("\n");
}

// Whether every surrogate is half of a pair. Qt's UTF-16 and UTF-32 decoders
// let lone surrogates and code points beyond U+10FFFF through as such, which
// would not be written back as the same bytes.
bool isValidUtf16(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

// Whether UTF-32 bytes hold only code points of Unicode. Qt's decoder maps
// larger values onto other characters, even onto valid surrogate pairs.
bool hasValidUtf32Units(const QByteArray &bytes, QStringConverter::Encoding converter)
{
    if (converter != QStringConverter::Utf32LE && converter != QStringConverter::Utf32BE)
        return true;
    if (bytes.size() % 4 != 0)
        return false;
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size(); i += 4) {
        const quint32 unit = converter == QStringConverter::Utf32BE
            ? qFromBigEndian<quint32>(data + i)
            : qFromLittleEndian<quint32>(data + i);
        if (unit > 0x10FFFF || (unit >= 0xD800 && unit <= 0xDFFF))
            return false;
    }
    return true;
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

FileStamp stampFrom(const struct stat &st)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = quint64(st.st_dev);
    stamp.inode = quint64(st.st_ino);
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return stamp;
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
    result.error = errorText(error);
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

std::optional<QByteArray> NoteFormat::encode(const QString &text) const
{
    QString stored = text;
    if (lineBreak != u"\n")
        stored.replace(u'\n', lineBreak);

    if (encoding == Encoding::Latin1) {
        const bool fits = std::all_of(stored.cbegin(), stored.cend(),
                                      [](QChar c) { return c.unicode() <= 0xFF; });
        if (!fits)
            return std::nullopt;
        return stored.toLatin1();
    }
    // UTF-8 gets a byte-order mark only to keep a leading U+FEFF of the text.
    const bool withBom = encoding != Encoding::Utf8 || stored.startsWith(QChar(0xFEFF));
    QStringEncoder encoder(converterFor(encoding),
                           withBom ? QStringConverter::Flag::WriteBom
                                   : QStringConverter::Flag::Default);
    QByteArray bytes = encoder.encode(stored);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

FileStamp stampOf(const QString &path)
{
    struct stat st;
    if (::stat(encodeFileName(path).constData(), &st) != 0)
        return {};
    return stampFrom(st);
}

LoadedNote decodeNote(const QByteArray &bytes)
{
    LoadedNote note;
    note.status = LoadedNote::Status::Loaded;
    note.bytes = bytes;

    const auto bom = QStringConverter::encodingForData(bytes);
    const QStringConverter::Encoding converter = bom.value_or(QStringConverter::Utf8);
    QStringDecoder decoder(converter, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError() || !isValidUtf16(text) || !hasValidUtf32Units(bytes, converter)) {
        // Not text in the encoding it claims: take each byte for the character
        // of that code, which gives exactly the same bytes back.
        note.format.encoding = Encoding::Latin1;
        text = QString::fromLatin1(bytes);
    } else {
        note.format.encoding = encodingFor(converter);
    }

    note.format.lineBreak = lineBreakOf(text);
    // Most notes have no carriage return at all; a big one is then not
    // searched twice more for nothing.
    if (text.contains(u'\r')) {
        text.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n"));
        text.replace(u'\r', u'\n');
    }
    note.text = text;
    return note;
}

LoadedNote readNote(const QString &path)
{
    PosixFile file;
    QByteArray bytes;
    if (!file.openForReading(encodeFileName(path)) || !file.readAll(bytes)) {
        LoadedNote note;
        note.stamp = stampOf(path);
        note.status = note.stamp.exists ? LoadedNote::Status::Failed : LoadedNote::Status::Missing;
        return note;
    }
    LoadedNote note = decodeNote(bytes);
    note.stamp = stampFrom(file.status());
    return note;
}

QByteArray unchangedBytes(const LoadedNote &note)
{
    if (note.format.encoding == Encoding::Utf8 && note.bytes.startsWith("\xEF\xBB\xBF")
        && !note.text.startsWith(QChar(0xFEFF)))
        return note.bytes.mid(3);
    return note.bytes;
}

bool fitsEditor(QStringView text)
{
    if (text.size() > maxEditableLength)
        return false;
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        if (lineEnd - lineStart > maxEditableLine)
            return false;
        lineStart = lineEnd + 1;
    }
    return true;
}

QString previewOf(QStringView text)
{
    constexpr qsizetype maxPreview = 1000000;
    constexpr qsizetype maxPreviewLine = 10000;
    QString preview;
    qsizetype lineStart = 0;
    while (lineStart < text.size() && preview.size() < maxPreview) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QStringView line = text.mid(lineStart, lineEnd - lineStart);
        if (lineStart > 0)
            preview.append(u'\n');
        preview.append(line.left(maxPreviewLine));
        if (line.size() > maxPreviewLine)
            preview.append(QChar(0x2026));
        lineStart = lineEnd + 1;
    }
    return preview;
}

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
    if (::rename(temporary.constData(), target.constData()) != 0)
        return abandon(errno);
    // Until the directory is flushed, a power cut may undo the rename: the
    // save is not done before that.
    int error = syncDirectory(directory, fd);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        return failure(error);

    WriteResult result;
    result.ok = true;
    result.stamp = stampOf(path);
    return result;
}

} // namespace notes
