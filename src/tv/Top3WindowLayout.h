#pragma once

#include "tv/TextMeasure.h"

#include <QList>
#include <QRect>

// The "TOP3 je Klasse" window: title bar, a table of four blocks of three lines, a footer.
struct Top3WindowLayout {
    static constexpr int Lines = 12;

    int windowFont = 0;
    int titleFont = 0;
    QRect title;
    QRect table;
    int rowHeight = 0;
    QList<int> columnWidths; // six columns
    QRect footer;
    int footerFont = 0;
    QRect wordMark; // in footer coordinates, at its left
    int wordMarkFont = 0;

    static Top3WindowLayout compute(QSize window, const QString& title, const TextMeasure& measure);
};
