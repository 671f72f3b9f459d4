// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>
#include <QStringView>

#include <string>
#include <vector>

namespace notes {

// Room a matcher reuses from one note to the next.
struct MatchScratch
{
    std::string bytes;
    std::u32string text;
};

// What a query finds: the query is split at white space, and a note matches
// when each word occurs somewhere in its text, in any order, whole or as part
// of a longer word. Case is folded fully. A letter of the query without a mark
// matches that letter with any marks ("cafe" finds "Café"); one with marks
// matches only the same letter with the same marks ("dröge" finds "dröge",
// not "Droge"). The text is the note's as the editor reads it.
class NoteMatcher
{
public:
    explicit NoteMatcher(QStringView query = {});

    // A query of no words, which every note matches.
    bool isEmpty() const { return m_words.empty(); }
    // Whether every note this query matches is matched by `wider` too, so
    // that only the notes `wider` found need be searched.
    bool narrows(const NoteMatcher &wider) const;

    // Whether the note of these bytes matches.
    bool matches(const QByteArray &bytes, MatchScratch &scratch) const;
    bool matches(const QByteArray &bytes) const;

private:
    bool matchesBases(const QByteArray &bytes, MatchScratch &scratch) const;
    bool matchesDecoded(const QByteArray &bytes, MatchScratch &scratch) const;
    bool holdsEveryBase(const std::string &bases) const;

    std::vector<std::u32string> m_words; // folded and decomposed
    // The words as bytes, when none of them holds anything beyond ASCII: the
    // marks of the note's letters then make no difference.
    std::vector<std::string> m_asciiWords;
};

} // namespace notes
