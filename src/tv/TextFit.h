#pragma once

#include "tv/TextMeasure.h"

#include <QSize>
#include <QString>

// Long names on the audience windows are made smaller, never cut: the size a text is drawn at
// is the largest from the designed one down to 5 at which its widest line fits the width and
// all its lines the height of its room; a text too large even at 5 stays at 5. Lines are
// separated by line breaks (CR LF or LF).
class TextFit {
public:
    static constexpr int SmallestSize = 5;

    static int size(const QString& text, int startSize, QSize room, const TextMeasure& measure);
    // A bar that may grow into the room beside it: its designed width, or as much more (up to
    // maxWidth) as the text at its size needs with a margin at both ends.
    static int barWidth(const QString& text, int size, int designedWidth, int maxWidth, int margin,
                        const TextMeasure& measure);
    // The widest line and the height of all lines at a size.
    static QSize extent(const QString& text, int size, const TextMeasure& measure);
};
