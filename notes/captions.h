// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QCoreApplication>
#include <QLatin1StringView>
#include <QString>

#include <optional>

// The caption of a note: the text that stands for it in the note list.
namespace notes {

// As written here in English; a caption shows them in the user's language
// (QCoreApplication::translate, context "notes").
inline constexpr QLatin1StringView emptyFileCaption {QT_TRANSLATE_NOOP("notes", "<empty file>")};
inline constexpr QLatin1StringView noCaption {QT_TRANSLATE_NOOP("notes", "<no caption>")};

// The caption of a note: its first line without the line terminator,
// "<empty file>" for an empty file and "<no caption>" for an empty first
// line. No value when the note cannot be opened for reading (this includes a
// path that is no longer a regular file). Reads only as far as the first line
// break. The path is as the file system takes it.
std::optional<QString> readCaption(const QByteArray &localPath);

// How much of a note one read from its start takes, first: for most notes
// all it takes to find the end of the first line.
inline constexpr qsizetype firstBlockBytes = 4096;

// The caption of a note from its first bytes (what one read from its start
// gave) when they hold the end of its first line; no value when they do not
// (or are empty), and only reading on can tell.
std::optional<QString> captionOfFirstBlock(QByteArrayView block);

// The caption rule applied to text already in memory (the bytes of a whole
// file or of its beginning up to and past the first line break).
QString captionOf(const QByteArray &head);

} // namespace notes
