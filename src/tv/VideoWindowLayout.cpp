#include "tv/VideoWindowLayout.h"

#include <cmath>

namespace {

constexpr int Gap = 6;
// The lower third is designed in points for a screen of 96 dots per inch.
constexpr double PixelsPerPoint = 96.0 / 72.0;
// A sample with ascent and descent, so the heights hold any caption.
const QString Sample = QStringLiteral("Ag");

} // namespace

VideoWindowLayout VideoWindowLayout::compute(QSize window, const TextMeasure& measure) {
    VideoWindowLayout l;
    const int W = window.width();
    const int H = window.height();
    const int titlePoints = H / 26;
    l.titleFont = pixelsOf(titlePoints);
    const int titleHeight = measure(Sample, l.titleFont).height();
    l.shadowSize = static_cast<int>(std::lround(titlePoints / 15.0));
    l.title = QRect(0, H - titleHeight, W, titleHeight);

    l.stripFont = pixelsOf(titleHeight / 2);
    l.timeBestFont = pixelsOf(static_cast<int>(std::lround(titlePoints * 0.7)));
    const int stripHeight = measure(Sample, l.stripFont).height();
    const int timeBestWidth = measure(widestTime(), l.timeBestFont).width();
    l.strip = QRect(0, l.title.top() - stripHeight, W, stripHeight);
    l.timeBest = QRect(W - timeBestWidth, 0, timeBestWidth, stripHeight);
    l.nameBestRight = l.timeBest.left() - Gap;

    const int currentWidth = measure(widestTime(), l.titleFont).width();
    const int currentHeight = measure(Sample, l.titleFont).height();
    l.timeCurrent =
        QRect(W - currentWidth, l.strip.top() - currentHeight, currentWidth, currentHeight);
    l.nameCurrentRight = l.timeCurrent.left() - Gap;
    return l;
}

int VideoWindowLayout::pixelsOf(int points) {
    return static_cast<int>(std::lround(points * PixelsPerPoint));
}
