#pragma once

#include <QRect>

class QImage;

// How far a screen taken from a device is from the picture it should show.
struct ScreenDifference
{
    // False when the two differ in size; then nothing else is measured.
    bool sameSize = false;
    // Pixels whose red, green or blue differ by more than the tolerance.
    qint64 differing = 0;
    qint64 total = 0;
    // The smallest rectangle holding every differing pixel.
    QRect bounds;

    // Whether at most `fraction` of the pixels differ.
    bool within(double fraction) const;
};

// Compares two pictures pixel by pixel; a channel that differs by
// `channelTolerance` or less counts as the same (rounding in a frame buffer's
// colour depth, say). Alpha is ignored: a screen has none.
ScreenDifference compareScreens(const QImage &expected, const QImage &actual, int channelTolerance);

// A picture of the two: the actual screen, faded, with the differing pixels
// in red.
QImage differenceImage(const QImage &expected, const QImage &actual, int channelTolerance);
