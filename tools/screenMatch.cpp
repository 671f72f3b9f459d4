// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "screenMatch.h"

#include <QImage>

#include <algorithm>
#include <cstdlib>

namespace {

int channelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
}

bool channelsDiffer(QRgb a, QRgb b, int tolerance)
{
    return channelDifference(a, b) > tolerance;
}

} // namespace

bool ScreenDifference::within(double fraction) const
{
    return sameSize && total > 0 && double(differing) <= fraction * double(total);
}

ScreenDifference compareScreens(const QImage &expected, const QImage &actual, int channelTolerance)
{
    ScreenDifference result;
    if (expected.isNull() || expected.size() != actual.size())
        return result;
    result.sameSize = true;
    const QImage a = expected.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = actual.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    result.total = qint64(a.width()) * a.height();
    int left = a.width(), top = a.height(), right = -1, bottom = -1;
    for (int y = 0; y < a.height(); ++y) {
        const auto *lineA = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *lineB = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int difference = channelDifference(lineA[x], lineB[x]);
            result.worst = std::max(result.worst, difference);
            if (difference <= channelTolerance)
                continue;
            ++result.differing;
            left = qMin(left, x);
            right = qMax(right, x);
            top = qMin(top, y);
            bottom = qMax(bottom, y);
        }
    }
    if (result.differing > 0)
        result.bounds = QRect(QPoint(left, top), QPoint(right, bottom));
    return result;
}

QImage differenceImage(const QImage &expected, const QImage &actual, int channelTolerance)
{
    QImage picture = actual.convertToFormat(QImage::Format_RGB32);
    if (expected.size() != actual.size())
        return picture;
    const QImage a = expected.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = actual.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < picture.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        const auto *lineA = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *lineB = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (channelsDiffer(lineA[x], lineB[x], channelTolerance)) {
                line[x] = qRgb(255, 0, 0);
            } else {
                const int grey = 160 + qGray(line[x]) * 95 / 255;
                line[x] = qRgb(grey, grey, grey);
            }
        }
    }
    return picture;
}
