// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// Compares two pictures by what the eye sees: the same size, and every pixel
// alike within a small tolerance, so that a renderer's slightly different
// anti-aliasing passes and a changed drawing does not.
// scripts/render-icons.sh --check runs it.
//
//   tavloImageDiff EXPECTED.png ACTUAL.png
//
// Exit status 0 when they match, 1 when they differ, 2 when one cannot be
// read.

#include "screenMatch.h"

#include <QImage>

#include <cstdio>

namespace {

// No channel of any pixel may be further off than this (of 255), and only a
// few pixels, at edges, may be off by more than a trace.
constexpr int maxChannelDifference = 40;
constexpr int traceDifference = 8;
constexpr double maxShareBeyondTrace = 0.01;

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tavloImageDiff EXPECTED.png ACTUAL.png\n");
        return 2;
    }
    const QImage expected(QString::fromLocal8Bit(argv[1]));
    const QImage actual(QString::fromLocal8Bit(argv[2]));
    if (expected.isNull() || actual.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", expected.isNull() ? argv[1] : argv[2]);
        return 2;
    }
    const ScreenDifference difference = compareScreens(expected, actual, traceDifference);
    if (!difference.sameSize) {
        std::printf("%s is %dx%d, %s is %dx%d\n", argv[1], expected.width(), expected.height(),
                    argv[2], actual.width(), actual.height());
        return 1;
    }
    const double share = double(difference.differing) / double(difference.total);
    const bool alike
        = difference.worst <= maxChannelDifference && difference.within(maxShareBeyondTrace);
    std::printf("%s: largest difference %d of 255, %.2f%% of pixels beyond %d: %s\n", argv[2],
                difference.worst, share * 100, traceDifference, alike ? "alike" : "different");
    return alike ? 0 : 1;
}
