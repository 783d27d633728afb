#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

// Where the preview window goes when it is shown: as wide as the page plus room for the
// scroll bar, centred on the screen, from the top of the work area down to its foot.
class PreviewPlacement {
public:
    static constexpr int ExtraWidth = 24;

    // The client rectangle for a page of pageSize screen pixels. The width never exceeds the
    // work area, so a large page scrolls rather than leaving the screen.
    static QRect clientRect(QSize pageSize, QRect screen, QRect workArea, QMargins frame);
};
