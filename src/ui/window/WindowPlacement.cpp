#include "ui/window/WindowPlacement.h"

#include <QRegion>

namespace WindowPlacement {

QRect defaultPlacement(const QRect& workArea, int width) {
    const int outerWidth = qMin(width, workArea.width());
    return QRect(workArea.left() + (workArea.width() - outerWidth) / 2, workArea.top(), outerWidth,
                 workArea.height());
}

QSize minimumOuterSize(int sizingFrameWidth, const QSize& workArea) {
    QSize minimum(DesignedMinimumWidth + 2 * sizingFrameWidth, MinimumHeight);
    if (workArea.isValid())
        minimum = minimum.boundedTo(workArea);
    return minimum;
}

QRect clientRect(const QRect& frame, const QMargins& frameMargins) {
    return frame.marginsRemoved(frameMargins);
}

QRect frameRect(const QRect& client, const QMargins& frameMargins) {
    return client.marginsAdded(frameMargins);
}

QRect keptOnScreen(const QRect& frame, const QList<QRect>& workAreas, const QRect& fallback) {
    QRegion outside(frame);
    const QRect* target = nullptr;
    qint64 largestOverlap = 0;
    for (const QRect& area : workAreas) {
        outside -= QRegion(area);
        const QRect overlap = frame.intersected(area);
        const qint64 size = qint64(overlap.width()) * overlap.height();
        if (size > largestOverlap) {
            largestOverlap = size;
            target = &area;
        }
    }
    if (outside.isEmpty() && !frame.isEmpty())
        return frame;
    const QRect& area = target ? *target : fallback;
    QRect kept(frame.topLeft(), frame.size().boundedTo(area.size()));
    kept.moveLeft(qBound(area.left(), kept.left(), area.left() + area.width() - kept.width()));
    kept.moveTop(qBound(area.top(), kept.top(), area.top() + area.height() - kept.height()));
    return kept;
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

} // namespace WindowPlacement
