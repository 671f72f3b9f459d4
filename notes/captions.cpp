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

// A placeholder caption in the user's language.
QString shown(QLatin1StringView placeholder)
{
    return QCoreApplication::translate("notes", placeholder.data());
}

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
        return shown(noCaption);
    return line.toString();
}

// captionFromText(text, false), cutting the line out of `text` in place
// rather than copying it.
QString captionOfLine(QString text)
{
    const qsizetype lineFeed = text.indexOf(u'\n');
    if (lineFeed < 0)
        return captionFromText(text, false);
    text.truncate(lineFeed);
    if (text.endsWith(u'\r'))
        text.chop(1);
    if (text.isEmpty())
        return shown(noCaption);
    return text;
}

QStringConverter::Encoding encodingOf(QByteArrayView head)
{
    const auto bom = QStringConverter::encodingForData(head);
    return bom.value_or(QStringConverter::Utf8);
}

// The caption of a UTF-8 note whose first line feed is at head[lineFeed]. In
// UTF-8 that byte is always the first line feed of the text, and decoding up
// to it gives the text up to it, so the rest of the block is not decoded.
QString captionBeforeLineFeed(QByteArrayView head, qsizetype lineFeed)
{
    const QByteArrayView line = head.first(lineFeed);
    if (!isAscii(line)) {
        QStringDecoder decoder(QStringConverter::Utf8);
        return captionOfLine(decoder.decode(head.first(lineFeed + 1)));
    }
    // ASCII decodes to itself and holds no byte-order mark.
    const qsizetype length = line.endsWith('\r') ? lineFeed - 1 : lineFeed;
    if (length == 0)
        return shown(noCaption);
    return QString::fromLatin1(line.first(length));
}

} // namespace

QString captionOf(const QByteArray &head)
{
    if (head.isEmpty())
        return shown(emptyFileCaption);
    QStringDecoder decoder(encodingOf(head));
    const QString text = decoder.decode(head);
    return captionFromText(text, true);
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
        return captionBeforeLineFeed(block, static_cast<const char *>(lineFeed) - block.data());
    }
    QStringDecoder decoder(encoding);
    const QString text = decoder.decode(block);
    if (!text.contains(u'\n'))
        return std::nullopt;
    return captionFromText(text, false);
}

std::optional<QString> readCaption(const QByteArray &localPath)
{
    PosixFile file;
    if (!file.openUnchecked(localPath))
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
        return file.statRegular() ? std::optional<QString>(shown(emptyFileCaption)) : std::nullopt;

    const QByteArrayView head(block, got);
    if (auto caption = captionOfFirstBlock(head))
        return caption;
    if (!file.statRegular())
        return std::nullopt;
    // The bytes read so far are decoded whole each time, as the caption rule
    // decodes a whole note: Qt's decoder, fed piece by piece, drops a
    // replacement character where a piece ends inside a broken sequence. The
    // steps grow with what was read, so decoding stays linear in all. A
    // failed read leaves the bytes as they were last decoded.
    const QStringConverter::Encoding encoding = encodingOf(head);
    QByteArray bytes = head.toByteArray();
    auto decoded = [&bytes, encoding] {
        QStringDecoder decoder(encoding);
        return QString(decoder.decode(bytes));
    };
    QString text;
    bool lineFound = false;
    // A first line longer than memory can hold is cut there.
    const qint64 end = std::min(file.size(), maxBytesInMemory);
    while (!lineFound && bytes.size() < end) {
        const qsizetype had = bytes.size();
        const qsizetype step
            = qsizetype(std::min<qint64>(std::max<qsizetype>(had, 64 * 1024), end - had));
        bytes.resize(had + step);
        got = file.read(bytes.data() + had, step);
        bytes.truncate(had + std::max<qsizetype>(got, 0));
        if (got <= 0)
            break;
        text = decoded();
        lineFound = text.contains(u'\n');
    }
    if (text.isNull()) // the first block was all there was
        text = decoded();
    const bool wholeFile = !lineFound;
    return captionFromText(text, wholeFile);
}

} // namespace notes
