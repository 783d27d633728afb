#include "ui/WindowPlacement.h"

namespace WindowPlacement {

QRect defaultPlacement(const QRect& workArea, int width) {
    return QRect(workArea.left() + (workArea.width() - width) / 2, workArea.top(), width,
                 workArea.height());
}

QSize minimumOuterSize(int sizingFrameWidth) {
    return QSize(DesignedMinimumWidth + 2 * sizingFrameWidth, MinimumHeight);
}

} // namespace WindowPlacement
