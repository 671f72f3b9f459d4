// Compares two pictures by what the eye sees: the same size, and every pixel
// alike within a small tolerance, so that a renderer's slightly different
// anti-aliasing passes and a changed drawing does not.
// scripts/render-icons.sh --check runs it.
//
//   tavloImageDiff EXPECTED.png ACTUAL.png
//
// Exit status 0 when they match, 1 when they differ, 2 when one cannot be
// read.

#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// No channel of any pixel may be further off than this (of 255), and only a
// few pixels, at edges, may be off by more than a trace.
constexpr int maxChannelDifference = 40;
constexpr int traceDifference = 8;
constexpr double maxShareBeyondTrace = 0.01;

int channelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tavloImageDiff EXPECTED.png ACTUAL.png\n");
        return 2;
    }
    const QImage expected = QImage(QString::fromLocal8Bit(argv[1]))
                                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage actual = QImage(QString::fromLocal8Bit(argv[2]))
                              .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (expected.isNull() || actual.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", expected.isNull() ? argv[1] : argv[2]);
        return 2;
    }
    if (expected.size() != actual.size()) {
        std::printf("%s is %dx%d, %s is %dx%d\n", argv[1], expected.width(), expected.height(),
                    argv[2], actual.width(), actual.height());
        return 1;
    }
    int worst = 0;
    qint64 beyondTrace = 0;
    for (int y = 0; y < expected.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(expected.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(actual.constScanLine(y));
        for (int x = 0; x < expected.width(); ++x) {
            const int difference = channelDifference(a[x], b[x]);
            worst = std::max(worst, difference);
            beyondTrace += difference > traceDifference;
        }
    }
    const double share = double(beyondTrace) / (double(expected.width()) * expected.height());
    const bool alike = worst <= maxChannelDifference && share <= maxShareBeyondTrace;
    std::printf("%s: largest difference %d of 255, %.2f%% of pixels beyond %d: %s\n", argv[2],
                worst, share * 100, traceDifference, alike ? "alike" : "different");
    return alike ? 0 : 1;
}
