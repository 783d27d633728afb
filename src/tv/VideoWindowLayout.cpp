#include "tv/VideoWindowLayout.h"

#include <cmath>

namespace {

constexpr int Gap = 6;
// A sample with ascent and descent, so the heights hold any caption.
const QString Sample = QStringLiteral("Ag");

} // namespace

VideoWindowLayout VideoWindowLayout::compute(QSize window, const TextMeasure& measure) {
    VideoWindowLayout l;
    const int W = window.width();
    const int H = window.height();
    l.titleFont = H / 26;
    const int titleHeight = measure(Sample, l.titleFont).height();
    l.shadowSize = static_cast<int>(std::lround(l.titleFont / 15.0));
    l.title = QRect(0, H - titleHeight, W, titleHeight);

    l.stripFont = titleHeight / 2;
    l.timeBestFont = static_cast<int>(std::lround(l.titleFont * 0.7));
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
