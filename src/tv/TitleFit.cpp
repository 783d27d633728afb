#include "tv/TitleFit.h"

#include "tv/TextFit.h"

#include <limits>

int TitleFit::fit(const QString& title, int startSize, int barWidth, const TextMeasure& measure) {
    // Narrower than the bar less 4 pixels: at most 5 pixels less.
    return TextFit::size(title, startSize, QSize(barWidth - 5, std::numeric_limits<int>::max()),
                         measure);
}
