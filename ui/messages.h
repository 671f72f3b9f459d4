// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QString>

class QWidget;

// The message boxes of the application. Their texts quote names and captions
// from the note directory, so they are always shown as plain text.
namespace messages {

// The title of every input/output failure.
QString fileErrorTitle();

// A warning with a single OK button, the default button. `reason`, when
// given, tells the cause below the text.
void showFileError(const QString &text, const QString &reason = QString());

// A message with a single OK button.
void showNotice(const QString &title, const QString &text);

// A warning with Yes and No buttons; returns whether Yes was chosen.
// `defaultNo` makes No the default and escape button; otherwise neither is
// the default, so Return alone answers nothing.
bool askYesNo(const QString &title, const QString &text, bool defaultNo = false);

enum class SaveAnswer { Save, Discard, Cancel };

// A question with Save, Discard and Cancel buttons. Save is the default;
// Escape and closing the question answer Cancel.
SaveAnswer askSaveDiscardCancel(const QString &title, const QString &text);

enum class DraftAnswer { Restore, Discard, Later };

// A question with Restore, Discard and Later buttons. Restore is the
// default; Escape and closing the question answer Later.
DraftAnswer askRestoreDiscardLater(const QString &title, const QString &text);

} // namespace messages
