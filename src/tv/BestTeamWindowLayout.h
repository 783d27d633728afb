#pragma once

#include "tv/TextMeasure.h"

#include <QRect>

// The "Best Team" window: title bar, the heading band over the member list in a panel as
// wide as the scaled time panel, and the logo footer.
struct BestTeamWindowLayout {
    int footerHeight = 0; // F
    int windowFont = 0;
    int titleFont = 0;
    int labelBestFont = 0;
    QRect title;
    QRect panel;   // the middle panel, in window coordinates
    QRect heading; // in panel coordinates, 2 F high
    QRect members; // in panel coordinates
    QRect footer;

    static BestTeamWindowLayout compute(QSize window, const QString& title,
                                        const TextMeasure& measure);
};
