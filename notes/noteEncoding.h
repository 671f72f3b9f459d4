// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringConverter>

#include <optional>

// How a note's bytes become text and the text bytes again, so that nothing
// the user did not change is changed on disk.
namespace notes {

struct NoteFormat
{
    // Utf8 is the default; a leading UTF-8 byte-order mark is read and
    // dropped. The UTF-16 and UTF-32 encodings come with a byte-order mark,
    // which is written back. Latin1 stands for bytes that are not valid text
    // in the encoding they claim: each byte is kept one to one.
    QStringConverter::Encoding encoding = QStringConverter::Utf8;
    // The line break the note uses ("\n", "\r\n" or "\r"); text in memory
    // uses "\n" and gets this one back when encoded.
    QString lineBreak = QStringLiteral("\n");

    // The bytes of `text` (whose line breaks are "\n") in this format, or no
    // value when the text holds characters this encoding cannot store.
    std::optional<QByteArray> encode(const QString &text) const;

    bool operator==(const NoteFormat &other) const
    {
        return encoding == other.encoding && lineBreak == other.lineBreak;
    }
};

struct DecodedNote
{
    QString text; // line breaks are "\n"
    NoteFormat format;
    // Whether format.encode(text) is known to give unchangedBytes() back: a
    // UTF-8 or 8-bit note whose line breaks are all alike. A note that mixes
    // line breaks is not, since the text no longer tells them apart.
    bool reproducible = true;
};

// Splits bytes into text and the format they were written in.
DecodedNote decodeNote(const QByteArray &bytes);

// The bytes that store a decoded note unchanged: its own, less a UTF-8
// byte-order mark (none is written), unless the text itself begins with
// U+FEFF, which would then be read as the mark and lost.
QByteArray unchangedBytes(const QByteArray &bytes, const DecodedNote &note);

} // namespace notes
