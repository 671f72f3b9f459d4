// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "captions.h"

#include "fileNames.h"
#include "posixFile.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace notes {

namespace {

// Past the first block, a first line is read on in steps of at least this
// many bytes, growing with what was read.
constexpr qsizetype leastReadStep = 64 * 1024;

// A placeholder caption in the user's language.
QString shown(QLatin1StringView placeholder)
{
    return QCoreApplication::translate("notes", placeholder.data());
}

// The caption rule, on a note's first line as decoded, without the line feed
// that ends it. A carriage return at its end belongs to the terminator: it
// stood before the line feed, or at the very end of a note without one.
QString captionOfLine(QString line)
{
    if (line.endsWith(u'\r'))
        line.chop(1);
    if (line.isEmpty())
        return shown(noCaption);
    return line;
}

// The first line of decoded text that holds it and the line feed after it,
// or the whole note where it has none; cut in place rather than copied.
QString firstLineOf(QString text)
{
    const qsizetype lineFeed = text.indexOf(u'\n');
    if (lineFeed >= 0)
        text.truncate(lineFeed);
    return text;
}

QStringConverter::Encoding encodingOf(QByteArrayView head)
{
    const auto bom = QStringConverter::encodingForData(head);
    return bom.value_or(QStringConverter::Utf8);
}

QString decoded(QByteArrayView bytes, QStringConverter::Encoding encoding)
{
    QStringDecoder decoder(encoding);
    return decoder.decode(bytes);
}

// The first line of a UTF-8 note whose first line feed is at head[lineFeed].
// In UTF-8 that byte is always the first line feed of the text, and decoding
// up to it gives the text up to it, so the rest of the block is not decoded.
QString utf8LineBefore(QByteArrayView head, qsizetype lineFeed)
{
    // ASCII decodes to itself and holds no byte-order mark.
    if (isAscii(head.first(lineFeed)))
        return QString::fromLatin1(head.first(lineFeed));
    // With its line feed, so that a sequence the line breaks off decodes as
    // the replacement character it is in the whole note.
    return firstLineOf(decoded(head.first(lineFeed + 1), QStringConverter::Utf8));
}

// The first line of an open note whose first block, `head`, holds no line
// feed: read on, in growing steps, until a line feed turns up or the note
// ends. The bytes read so far are decoded whole each time, as the caption
// rule decodes a whole note: Qt's decoder, fed piece by piece, drops a
// replacement character where a piece ends inside a broken sequence. The
// steps grow with what was read, so decoding stays linear in all. A failed
// read leaves the bytes as they were last decoded.
QString readFirstLine(PosixFile &file, QByteArrayView head)
{
    const QStringConverter::Encoding encoding = encodingOf(head);
    QByteArray bytes = head.toByteArray();
    QString text = decoded(bytes, encoding);
    // A first line longer than memory can hold is cut there.
    const qint64 end = std::min(file.size(), maxBytesInMemory);
    while (!text.contains(u'\n') && bytes.size() < end) {
        const qsizetype had = bytes.size();
        const qsizetype step = qsizetype(std::min<qint64>(std::max(had, leastReadStep), end - had));
        bytes.resize(had + step);
        const qsizetype got = file.read(bytes.data() + had, step);
        bytes.truncate(had + std::max<qsizetype>(got, 0));
        if (got <= 0)
            break;
        text = decoded(bytes, encoding);
    }
    return firstLineOf(std::move(text));
}

} // namespace

QString captionOf(const QByteArray &head)
{
    if (head.isEmpty())
        return shown(emptyFileCaption);
    return captionOfLine(firstLineOf(decoded(head, encodingOf(head))));
}

std::optional<QString> captionOfFirstBlock(QByteArrayView block)
{
    if (block.isEmpty())
        return std::nullopt;
    const QStringConverter::Encoding encoding = encodingOf(block);
    if (encoding == QStringConverter::Utf8) {
        const void *lineFeed = std::memchr(block.data(), '\n', size_t(block.size()));
        if (!lineFeed)
            return std::nullopt;
        return captionOfLine(
            utf8LineBefore(block, static_cast<const char *>(lineFeed) - block.data()));
    }
    QString text = decoded(block, encoding);
    if (!text.contains(u'\n'))
        return std::nullopt;
    return captionOfLine(firstLineOf(std::move(text)));
}

std::optional<QString> readCaption(const QByteArray &localPath)
{
    // Most first lines fit in the first block, and then open, read and close
    // are all it takes: what was opened need not be checked, since a
    // directory fails to read and a FIFO without a writer reads as empty.
    // Only an empty read or a block without a line feed makes sure that the
    // file is a regular one (a FIFO or device put there since the listing is
    // refused, rather than read without end) and learns its size.
    PosixFile file;
    if (!file.openUnchecked(localPath))
        return std::nullopt;
    char block[firstBlockBytes];
    const qsizetype got = file.readOnce(block, firstBlockBytes);
    if (got < 0)
        return std::nullopt;
    const QByteArrayView head(block, got);
    if (auto caption = captionOfFirstBlock(head))
        return caption;
    if (!file.statRegular())
        return std::nullopt;
    if (head.isEmpty())
        return shown(emptyFileCaption);
    return captionOfLine(readFirstLine(file, head));
}

} // namespace notes
