// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QRect>

class QImage;

// How far a picture is from the one it should be: a screen taken from a
// device from what the scenario drew, a rendered icon from the committed one.
struct ScreenDifference
{
    // False when the two differ in size; then nothing else is measured.
    bool sameSize = false;
    // Pixels whose red, green, blue or alpha differ by more than the
    // tolerance.
    qint64 differing = 0;
    // The largest difference of one channel of one pixel (of 255).
    int worst = 0;
    qint64 total = 0;
    // The smallest rectangle holding every differing pixel.
    QRect bounds;

    // Whether at most `fraction` of the pixels differ.
    bool within(double fraction) const;
};

// Compares two pictures pixel by pixel; a channel that differs by
// `channelTolerance` or less counts as the same (rounding in a frame buffer's
// colour depth, say). A screen has no alpha, so only pictures that have one
// can differ in it.
ScreenDifference compareScreens(const QImage &expected, const QImage &actual, int channelTolerance);

// A picture of the two: the actual screen, faded, with the differing pixels
// in red.
QImage differenceImage(const QImage &expected, const QImage &actual, int channelTolerance);
