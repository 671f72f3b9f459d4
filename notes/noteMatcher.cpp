// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "noteMatcher.h"

#include "noteEncoding.h"
#include "textFolding.h"

#include <QChar>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace notes {

namespace {

using folding::isMark;

// The end of the letter at `at`: past its marks.
std::size_t letterEnd(const std::u32string &text, std::size_t at)
{
    ++at;
    while (at < text.size() && isMark(text[at]))
        ++at;
    return at;
}

// Whether `word` matches `text` from `at`, letter by letter.
bool matchesAt(const std::u32string &word, const std::u32string &text, std::size_t at)
{
    std::size_t w = 0;
    while (w < word.size()) {
        if (at >= text.size() || text[at] != word[w])
            return false;
        const std::size_t wordEnd = letterEnd(word, w);
        const std::size_t textEnd = letterEnd(text, at);
        // A letter typed with marks asks for just these marks.
        if (wordEnd - w > 1
            && (wordEnd - w != textEnd - at
                || !std::equal(word.begin() + std::ptrdiff_t(w),
                               word.begin() + std::ptrdiff_t(wordEnd),
                               text.begin() + std::ptrdiff_t(at))))
            return false;
        w = wordEnd;
        at = textEnd;
    }
    return true;
}

bool holds(const std::u32string &text, const std::u32string &word)
{
    if (word.empty())
        return true;
    for (std::size_t at = text.find(word[0]); at != std::u32string::npos;
         at = text.find(word[0], at + 1)) {
        // A word begins at a letter, not at one of the marks of the one before.
        if ((at == 0 || !isMark(word[0]) || isMark(text[at - 1])) && matchesAt(word, text, at))
            return true;
    }
    return false;
}

char lowerAscii(unsigned char c)
{
    return char(c >= 'A' && c <= 'Z' ? c + 32 : c);
}

// Decodes the UTF-8 sequence at `p` (its first byte at least 0x80), as Qt's
// decoder would: no overlong forms, surrogates or code points beyond
// U+10FFFF. Noncharacters are refused too, to be decided by the editor's own
// decoder. Gives the code point and its length, or 0 for anything else.
int decodeUtf8(const unsigned char *p, const unsigned char *end, char32_t &c)
{
    const unsigned char lead = p[0];
    int length;
    char32_t min;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (end - p < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (p[i] & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || (c & 0xFFFE) == 0xFFFE
        || (c >= 0xFDD0 && c <= 0xFDEF))
        return 0;
    return length;
}

} // namespace

NoteMatcher::NoteMatcher(QStringView query)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i <= query.size(); ++i) {
        if (i < query.size() && !query[i].isSpace())
            continue;
        if (i > start)
            m_words.push_back(folding::folded(query.mid(start, i - start)));
        start = i + 1;
    }
    const bool ascii = std::all_of(m_words.begin(), m_words.end(), [](const std::u32string &word) {
        return std::all_of(word.begin(), word.end(), [](char32_t c) { return c < 0x80; });
    });
    if (ascii) {
        for (const std::u32string &word : m_words)
            m_asciiWords.emplace_back(word.begin(), word.end());
    }
}

bool NoteMatcher::narrows(const NoteMatcher &wider) const
{
    return std::all_of(wider.m_words.begin(), wider.m_words.end(), [&](const std::u32string &w) {
        return std::any_of(m_words.begin(), m_words.end(),
                           [&](const std::u32string &mine) { return holds(mine, w); });
    });
}

bool NoteMatcher::matches(const QByteArray &bytes) const
{
    MatchScratch scratch;
    return matches(bytes, scratch);
}

bool NoteMatcher::matches(const QByteArray &bytes, MatchScratch &scratch) const
{
    if (m_words.empty())
        return true;
    if (!m_asciiWords.empty())
        return matchesBases(bytes, scratch);
    return matchesDecoded(bytes, scratch);
}

bool NoteMatcher::holdsEveryBase(const std::string &bases) const
{
    return std::all_of(m_asciiWords.begin(), m_asciiWords.end(), [&](const std::string &word) {
        return ::memmem(bases.data(), bases.size(), word.data(), word.size()) != nullptr;
    });
}

// For words of ASCII alone, the note's letters need only be folded to their
// bases. Most notes are UTF-8, and mostly ASCII: their bytes are folded here
// directly, eight at a time where they are ASCII. Anything else (a byte-order
// mark of UTF-16 or UTF-32, bytes that are not UTF-8) is decoded by the
// editor's own decoder first.
bool NoteMatcher::matchesBases(const QByteArray &bytes, MatchScratch &scratch) const
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const unsigned char *const end = p + bytes.size();
    if (p != end && (p[0] == 0x00 || p[0] == 0xFE || p[0] == 0xFF))
        return matchesDecoded(bytes, scratch);
    // No character folds to more bases than it has bytes, bar two-byte ones
    // that fold to three.
    std::string &out = scratch.bytes;
    out.resize(std::size_t(bytes.size()) * 3 / 2 + 8);
    char *o = out.data();
    while (p != end) {
        if (end - p >= 8) {
            std::uint64_t v;
            std::memcpy(&v, p, 8);
            if ((v & 0x8080808080808080u) == 0) {
                // Sets 0x20 in each byte from 'A' to 'Z'.
                const std::uint64_t fromA = v + 0x3F3F3F3F3F3F3F3Fu;
                const std::uint64_t pastZ = v + 0x2525252525252525u;
                v |= (fromA & ~pastZ & 0x8080808080808080u) >> 2;
                std::memcpy(o, &v, 8);
                o += 8;
                p += 8;
                continue;
            }
        }
        if (*p < 0x80) {
            *o++ = lowerAscii(*p++);
            continue;
        }
        char32_t c;
        const int length = decodeUtf8(p, end, c);
        if (length == 0)
            return matchesDecoded(bytes, scratch);
        p += length;
        o += folding::baseBytes(c, reinterpret_cast<unsigned char *>(o));
    }
    out.resize(std::size_t(o - out.data()));
    return holdsEveryBase(out);
}

bool NoteMatcher::matchesDecoded(const QByteArray &bytes, MatchScratch &scratch) const
{
    const QString text = decodeNote(bytes).text;
    if (!m_asciiWords.empty()) {
        std::string &out = scratch.bytes;
        out.clear();
        unsigned char bases[3];
        folding::forEachCodePoint(text, [&](char32_t c) {
            const int length = folding::baseBytes(c, bases);
            out.append(reinterpret_cast<const char *>(bases), std::size_t(length));
        });
        return holdsEveryBase(out);
    }
    std::u32string &folded = scratch.text;
    folded.clear();
    folding::forEachCodePoint(text, [&](char32_t c) { folding::appendFolded(c, folded); });
    return std::all_of(m_words.begin(), m_words.end(),
                       [&](const std::u32string &word) { return holds(folded, word); });
}

} // namespace notes
