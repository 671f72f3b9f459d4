// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QString>
#include <QStringView>

// The editor lays out a line in time that grows with the square of its
// length, and a whole text in time that grows with its size: beyond these
// limits showing a note would freeze the program for seconds or minutes.
inline constexpr qsizetype maxEditableLength = 32 * 1024 * 1024;
inline constexpr qsizetype maxEditableLine = 50000;

// Whether the editor can show and edit the text (line breaks "\n") at once.
bool fitsEditor(QStringView text);

// The beginning of a text too large for the editor: its first million
// characters, each line cut after ten thousand with an ellipsis.
QString previewOf(QStringView text);
