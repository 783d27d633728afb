#include "ui/WindowPlacement.h"

namespace WindowPlacement {

QRect defaultPlacement(const QRect& workArea, int width) {
    return QRect(workArea.left() + (workArea.width() - width) / 2, workArea.top(), width,
                 workArea.height());
}

QSize minimumOuterSize(int sizingFrameWidth) {
    return QSize(DesignedMinimumWidth + 2 * sizingFrameWidth, MinimumHeight);
}

QRect onPresentScreens(const QRect& stored, const QList<QRect>& screens, const QRect& workArea) {
    const QRect strip(stored.x(), stored.y(), qMax(1, stored.width()), VisibleStripHeight);
    const int neededWidth = qMin(VisibleStripWidth, strip.width());
    for (const QRect& screen : screens) {
        const QRect seen = strip.intersected(screen);
        if (seen.width() >= neededWidth && seen.height() >= VisibleStripHeight)
            return stored;
    }
    if (workArea.isEmpty())
        return stored;
    QRect placed = defaultPlacement(workArea, qMin(stored.width(), workArea.width()));
    placed.setHeight(qMin(stored.height(), workArea.height()));
    return placed;
}

int screenIndexInRange(int index, int screenCount) {
    return qBound(0, index, qMax(0, screenCount - 1));
}

} // namespace WindowPlacement
