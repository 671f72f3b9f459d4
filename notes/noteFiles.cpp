#include "noteFiles.h"

#include "posixFile.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace notes {

QString noteDirectory()
{
    return QStringLiteral("Documents/text/");
}

QString notePath(const QString &entryName)
{
    return noteDirectory() + entryName;
}

namespace {

// Length of the valid UTF-8 sequence at data[i], or 0 if there is none.
int utf8SequenceLength(const unsigned char *data, qsizetype i, qsizetype size)
{
    const unsigned char lead = data[i];
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        else if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > size || data[i + 1] < low || data[i + 1] > high)
        return 0;
    for (int k = 2; k < length; ++k) {
        if ((data[i + k] & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

constexpr char16_t escapeBase = 0xDC00;

// Whether the character at `i` stands for a byte that is not UTF-8. Such
// characters are lone low surrogates; a low surrogate right after a high one
// is half of a real character beyond U+FFFF.
bool isEscapedByte(QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    return c >= escapeBase + 0x80 && c <= escapeBase + 0xFF
        && (i == 0 || !QChar::isHighSurrogate(text[i - 1].unicode()));
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
}

} // namespace

QString decodeFileName(QByteArrayView localName)
{
    // Most names are ASCII, which reads the same in every encoding here.
    if (isAscii(localName) && !localName.isEmpty())
        return QString::fromLatin1(localName);

    QStringDecoder strict(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString name = strict.decode(localName);
    if (!strict.hasError())
        return name;

    name.clear();
    const auto *data = reinterpret_cast<const unsigned char *>(localName.data());
    const qsizetype size = localName.size();
    qsizetype i = 0;
    while (i < size) {
        const int length = utf8SequenceLength(data, i, size);
        if (length == 0) {
            name.append(QChar(char16_t(escapeBase + data[i])));
            ++i;
        } else {
            name.append(QString::fromUtf8(localName.data() + i, length));
            i += length;
        }
    }
    return name;
}

QByteArray encodeFileName(const QString &name)
{
    QByteArray local;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscapedByte(name, i))
            continue;
        local.append(QStringView(name).mid(runStart, i - runStart).toUtf8());
        local.append(char(name.at(i).unicode() - escapeBase));
        runStart = i + 1;
    }
    if (runStart == 0)
        return name.toUtf8();
    local.append(QStringView(name).mid(runStart).toUtf8());
    return local;
}

namespace {

// What the character at `i` is shown as, or 0 when it is shown as it is.
char16_t shownAs(QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    if (c < 0x20)
        return char16_t(0x2400 + c);
    if (c == 0x7F)
        return 0x2421;
    if ((c >= 0x80 && c <= 0x9F) || isEscapedByte(text, i))
        return QChar::ReplacementCharacter;
    if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
        return 0x21B5;
    return 0;
}

} // namespace

QString displayText(const QString &text, qsizetype maxLength)
{
    const bool tooLong = text.size() > maxLength;
    const QStringView kept = tooLong ? QStringView(text).left(maxLength) : QStringView(text);
    qsizetype first = 0;
    while (first < kept.size() && shownAs(kept, first) == 0)
        ++first;
    if (first == kept.size() && !tooLong)
        return text;

    QString shown = kept.toString();
    for (qsizetype i = first; i < kept.size(); ++i) {
        if (const char16_t symbol = shownAs(kept, i))
            shown[i] = QChar(symbol);
    }
    if (tooLong)
        shown.append(QChar(0x2026));
    return shown;
}

QStringList listNoteEntries(const QString &directory)
{
    const QByteArray localDirectory = encodeFileName(directory);
    DIR *dir = ::opendir(localDirectory.constData());
    if (!dir)
        return {};

    // The names go into one buffer and are sorted as views into it: a
    // hundred thousand of them are then neither allocated nor swapped one by
    // one.
    std::string buffer;
    std::vector<std::pair<size_t, size_t>> spans; // offset and length in buffer
    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        bool isNote = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            // Links count when they lead to a regular file; stat follows them.
            struct stat st;
            isNote = ::fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (isNote) {
            const size_t length = std::strlen(entry->d_name);
            spans.emplace_back(buffer.size(), length);
            buffer.append(entry->d_name, length);
        }
    }
    ::closedir(dir);

    std::vector<std::string_view> names;
    names.reserve(spans.size());
    for (const auto &[offset, length] : spans)
        names.emplace_back(buffer.data() + offset, length);
    // Byte order: string_view compares its characters as unsigned char.
    std::sort(names.begin(), names.end());
    QStringList entries;
    entries.reserve(qsizetype(names.size()));
    for (const std::string_view name : names)
        entries.append(decodeFileName(QByteArrayView(name.data(), qsizetype(name.size()))));
    return entries;
}

namespace {

// The caption rule on decoded text. `text` holds at least the first line and
// its terminator, or the whole file when it has no line break.
QString captionFromText(QStringView text, bool wholeFile)
{
    const qsizetype lineFeed = text.indexOf(u'\n');
    QStringView line = lineFeed < 0 ? text : text.left(lineFeed);
    // A carriage return before the line feed, or at the very end of a file
    // without line feed, belongs to the terminator.
    if (line.endsWith(u'\r') && (lineFeed >= 0 || wholeFile))
        line.chop(1);
    if (line.isEmpty())
        return QString(noCaption);
    return line.toString();
}

QStringConverter::Encoding encodingOf(QByteArrayView head)
{
    const auto bom = QStringConverter::encodingForData(head);
    return bom.value_or(QStringConverter::Utf8);
}

// The caption of a UTF-8 note whose first line feed is at head[lineFeed]. In
// UTF-8 that byte is always the first line feed of the text, and decoding up
// to it gives the text up to it, so the rest of the block is not decoded.
QString captionBeforeLineFeed(QByteArrayView head, qsizetype lineFeed, QStringDecoder &decoder)
{
    const QByteArrayView line = head.first(lineFeed);
    if (!isAscii(line))
        return captionFromText(QString(decoder.decode(head.first(lineFeed + 1))), false);
    // ASCII decodes to itself and holds no byte-order mark.
    const qsizetype length = line.endsWith('\r') ? lineFeed - 1 : lineFeed;
    if (length == 0)
        return QString(noCaption);
    return QString::fromLatin1(line.first(length));
}

// Writes the local form of a plain ASCII path, which is the path itself, to
// `buffer` with a terminating NUL, and returns its length; -1 for any other
// path or one that does not fit. Saves an allocation per note.
template<qsizetype size>
qsizetype asciiLocalPath(QStringView path, char (&buffer)[size])
{
    if (path.size() >= size)
        return -1;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        if (c >= 0x80)
            return -1;
        buffer[i] = char(c);
    }
    buffer[path.size()] = '\0';
    return path.size();
}

} // namespace

QString captionOf(const QByteArray &head)
{
    if (head.isEmpty())
        return QString(emptyFileCaption);
    QStringDecoder decoder(encodingOf(head));
    const QString text = decoder.decode(head);
    return captionFromText(text, true);
}

std::optional<QString> captionOfFirstBlock(QByteArrayView block)
{
    if (block.isEmpty())
        return std::nullopt;
    const QStringConverter::Encoding encoding = encodingOf(block);
    QStringDecoder decoder(encoding);
    if (encoding == QStringConverter::Utf8) {
        const void *lineFeed = std::memchr(block.data(), '\n', size_t(block.size()));
        if (!lineFeed)
            return std::nullopt;
        return captionBeforeLineFeed(block, static_cast<const char *>(lineFeed) - block.data(),
                                     decoder);
    }
    const QString text = decoder.decode(block);
    if (!text.contains(u'\n'))
        return std::nullopt;
    return captionFromText(text, false);
}

std::optional<QString> readCaption(const QString &path)
{
    PosixFile file;
    char localPath[512];
    const qsizetype asciiLength = asciiLocalPath(path, localPath);
    const QByteArray local
        = asciiLength >= 0 ? QByteArray::fromRawData(localPath, asciiLength) : encodeFileName(path);
    if (!file.openUnchecked(local))
        return std::nullopt;

    // Most first lines fit in the first block, and then open, read and close
    // are all it takes: what was opened need not be checked, since a
    // directory fails to read and a FIFO without a writer reads as empty.
    // Only an empty read or a block without a line feed makes sure that the
    // file is a regular one (a FIFO or device put there since the listing is
    // refused, rather than read without end) and learns its size, to read on
    // in growing steps until the line feed turns up or the file ends.
    constexpr qsizetype firstBlock = 4096;
    char block[firstBlock];
    qsizetype got = file.readOnce(block, firstBlock);
    if (got < 0)
        return std::nullopt;
    if (got == 0)
        return file.statRegular() ? std::optional<QString>(QString(emptyFileCaption))
                                  : std::nullopt;

    const QByteArrayView head(block, got);
    if (auto caption = captionOfFirstBlock(head))
        return caption;
    QStringDecoder decoder(encodingOf(head));
    QString text = decoder.decode(head);
    bool lineFound = false;
    if (!file.statRegular())
        return std::nullopt;
    qsizetype total = got;
    while (!lineFound && total < file.size()) {
        const qsizetype step = std::min(std::max<qsizetype>(total, 64 * 1024), file.size() - total);
        QByteArray more(step, Qt::Uninitialized);
        got = file.read(more.data(), more.size());
        if (got <= 0)
            break;
        total += got;
        more.truncate(got);
        const qsizetype searchFrom = text.size();
        text += decoder.decode(more);
        lineFound = text.indexOf(u'\n', searchFrom) >= 0;
    }
    const bool wholeFile = !lineFound;
    return captionFromText(text, wholeFile);
}

QString newNotePath(const QDate &date, const QTime &time)
{
    return noteDirectory()
        + QStringLiteral("%1-%2-%3-%4-%5-%6.txt")
              .arg(QString::number(date.year()), QString::number(date.month()),
                   QString::number(date.day()), QString::number(time.hour()),
                   QString::number(time.minute()), QString::number(time.second()));
}

QString newNotePath()
{
    const QDate date = QDate::currentDate();
    const QTime time = QTime::currentTime();
    return newNotePath(date, time);
}

bool noteExists(const QString &path)
{
    struct stat st;
    return ::stat(encodeFileName(path).constData(), &st) == 0;
}

bool removeNote(const QString &path)
{
    return ::unlink(encodeFileName(path).constData()) == 0;
}

} // namespace notes
