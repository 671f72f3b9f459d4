// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "noteEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

#include <algorithm>

namespace notes {

namespace {

struct LineBreaks
{
    QString common; // "\n" unless all breaks are alike
    bool mixed = false;
};

LineBreaks lineBreaksOf(QStringView text)
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
    const int kinds = (crlf > 0) + (lf > 0) + (cr > 0);
    if (kinds == 1 && crlf > 0)
        return {QStringLiteral("\r\n"), false};
    if (kinds == 1 && cr > 0)
        return {QStringLiteral("\r"), false};
    return {QStringLiteral("\n"), kinds > 1};
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
bool hasValidUtf32Units(const QByteArray &bytes, QStringConverter::Encoding encoding)
{
    if (encoding != QStringConverter::Utf32LE && encoding != QStringConverter::Utf32BE)
        return true;
    if (bytes.size() % 4 != 0)
        return false;
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size(); i += 4) {
        const quint32 unit = encoding == QStringConverter::Utf32BE
            ? qFromBigEndian<quint32>(data + i)
            : qFromLittleEndian<quint32>(data + i);
        if (unit > 0x10FFFF || (unit >= 0xD800 && unit <= 0xDFFF))
            return false;
    }
    return true;
}

} // namespace

std::optional<QByteArray> NoteFormat::encode(const QString &text) const
{
    QString stored = text;
    if (lineBreak != u"\n")
        stored.replace(u'\n', lineBreak);

    if (encoding == QStringConverter::Latin1) {
        const bool fits = std::all_of(stored.cbegin(), stored.cend(),
                                      [](QChar c) { return c.unicode() <= 0xFF; });
        if (!fits)
            return std::nullopt;
        return stored.toLatin1();
    }
    // UTF-8 gets a byte-order mark only to keep a leading U+FEFF of the text.
    const bool withBom = encoding != QStringConverter::Utf8 || stored.startsWith(QChar(0xFEFF));
    QStringEncoder encoder(
        encoding, withBom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    QByteArray bytes = encoder.encode(stored);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

DecodedNote decodeNote(const QByteArray &bytes)
{
    DecodedNote note;
    const auto bom = QStringConverter::encodingForData(bytes);
    note.format.encoding = bom.value_or(QStringConverter::Utf8);
    QStringDecoder decoder(note.format.encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError() || !isValidUtf16(text)
        || !hasValidUtf32Units(bytes, note.format.encoding)) {
        // Not text in the encoding it claims: take each byte for the character
        // of that code, which gives exactly the same bytes back.
        note.format.encoding = QStringConverter::Latin1;
        text = QString::fromLatin1(bytes);
    }

    const LineBreaks breaks = lineBreaksOf(text);
    note.format.lineBreak = breaks.common;
    // Checked for these two encodings by the round-trip fuzz target.
    note.reproducible = !breaks.mixed
        && (note.format.encoding == QStringConverter::Utf8
            || note.format.encoding == QStringConverter::Latin1);
    // Most notes have no carriage return at all; a big one is then not
    // searched twice more for nothing.
    if (text.contains(u'\r')) {
        text.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n"));
        text.replace(u'\r', u'\n');
    }
    note.text = text;
    return note;
}

QByteArray unchangedBytes(const QByteArray &bytes, const DecodedNote &note)
{
    if (note.format.encoding == QStringConverter::Utf8 && bytes.startsWith("\xEF\xBB\xBF")
        && !note.text.startsWith(QChar(0xFEFF)))
        return bytes.mid(3);
    return bytes;
}

} // namespace notes
