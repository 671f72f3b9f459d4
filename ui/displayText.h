// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QString>

// Text from the note directory (names, captions) as it is to be shown, so
// that nothing in it is taken for layout instructions: bytes of names that
// were not UTF-8 become U+FFFD, control characters other than the tab their
// visible symbols (U+2400 and on), line and paragraph separators U+21B5, and
// text beyond `maxLength` characters is cut off with an ellipsis, so that no
// row or message costs more to draw than a screenful does. A tab stays a tab,
// which rows and messages draw as white space.
QString displayText(const QString &text, qsizetype maxLength = 1000);
