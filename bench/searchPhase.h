// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <functional>
#include <string>
#include <vector>

// The search phase of the bench: finding the notes of the working
// directory's note folder that hold a word, by Tavlo's search beside ripgrep
// and grep, taking turns within each run.
namespace searchPhase {

// The word about one note in a hundred holds, and one that none holds.
inline constexpr const char *rareWord = "zucchini";
inline constexpr const char *absentWord = "quixotic";

struct Timing
{
    double tavloMs = 0, rgMs = 0, grepMs = 0; // medians
    double firstRowMs = 0; // Tavlo's first row reported, median
    std::vector<double> toRg, toGrep; // Tavlo's ratio, run by run
};

struct Figures
{
    Timing rare, absent, coldRare, coldAbsent;
    bool cold = false;
    int found = 0, foundByRg = 0, foundByGrep = 0; // notes with the rare word
    double holdMs = 0; // the longest the GUI thread was kept from its events while typing
    double idleHoldMs = 0; // the same with keys that start no search
    double peakMiB = 0; // above what the process held before the search
};

// `dropCaches` is given for the cold runs, which need root.
bool measure(int runs, const std::function<void()> &dropCaches, Figures &figures);
void print(long notes, const Figures &figures);

} // namespace searchPhase
