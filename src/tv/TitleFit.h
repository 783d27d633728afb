#pragma once

#include "tv/TextMeasure.h"

// The size a title bar's text is drawn at: the largest size from the window's own down to 5
// whose text is narrower than the bar less 4 pixels; a text too long even then stays at 5.
class TitleFit {
public:
    static int fit(const QString& title, int startSize, int barWidth, const TextMeasure& measure);
};
