// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QStringView>

#include <string>

// How text is folded for finding notes: case folded fully (Unicode's full
// case folding, so that "ß" and "ss", "ﬁ" and "fi" are alike) and taken
// apart into base letters and their marks (canonical decomposition).
namespace notes::folding {

// Calls `f` with each code point of `text`; a lone surrogate is one.
template<typename F>
void forEachCodePoint(QStringView text, F f)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            f(char32_t(QChar::surrogateToUcs4(c, text[i + 1])));
            ++i;
        } else {
            f(char32_t(c.unicode()));
        }
    }
}

// Whether `c` is a combining mark, which belongs to the letter before it.
bool isMark(char32_t c);

// Appends the folded, decomposed form of `c` to `out`, its marks put in
// canonical order with those already at the end of `out`.
void appendFolded(char32_t c, std::u32string &out);

// The folded, decomposed form of `text`.
std::u32string folded(QStringView text);

// The base letters of `c` folded, without their marks, as bytes: ASCII
// letters as themselves, every other letter as 0xFF, which no ASCII word
// holds. Writes at most 3 bytes to `out` and returns how many.
int baseBytes(char32_t c, unsigned char *out);

} // namespace notes::folding
