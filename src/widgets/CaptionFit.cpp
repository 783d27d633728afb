#include "widgets/CaptionFit.h"

#include <QFontMetricsF>

namespace CaptionFit {

QFont font(const QFont& designed, const QString& text, int width, qreal smallest) {
    const auto fits = [&text, width](const QFont& font) {
        return QFontMetricsF(font).horizontalAdvance(text) <= width;
    };
    if (text.isEmpty() || fits(designed))
        return designed;
    // A font given in pixels stays in whole pixels; one given in points goes in half points.
    const bool inPixels = designed.pixelSize() > 0;
    const qreal full = inPixels ? designed.pixelSize() : designed.pointSizeF();
    const qreal step = inPixels ? 1.0 : 0.5;
    QFont fitted = designed;
    for (qreal size = full - step; size >= full * smallest; size -= step) {
        if (inPixels)
            fitted.setPixelSize(qRound(size));
        else
            fitted.setPointSizeF(size);
        if (fits(fitted))
            break;
    }
    return fitted;
}

} // namespace CaptionFit
