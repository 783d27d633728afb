#pragma once

#include "tv/TextMeasure.h"

#include <QRect>

// The lower third of the "Video" window: the title line at the bottom edge, the strip with
// the intermediate time above it and the current competitor and time above that, all time
// boxes at the right edge and wide enough for "00.00,00".
struct VideoWindowLayout {
    // Font sizes in pixels, from the designed sizes in points.
    int titleFont = 0;
    int shadowSize = 0;
    int stripFont = 0;
    int timeBestFont = 0;
    QRect title;
    QRect strip;           // in window coordinates
    QRect timeBest;        // in strip coordinates
    int nameBestRight = 0; // in strip coordinates: NameBest grows to the left from here
    QRect timeCurrent;
    int nameCurrentRight = 0; // NameCurrent has TimeCurrent's top and height

    static QString widestTime() { return QStringLiteral("00.00,00"); }
    static int pixelsOf(int points);
    static VideoWindowLayout compute(QSize window, const TextMeasure& measure);
};
