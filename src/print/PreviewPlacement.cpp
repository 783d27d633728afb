#include "print/PreviewPlacement.h"

#include <algorithm>

QRect PreviewPlacement::clientRect(QSize pageSize, QRect screen, QRect workArea, QMargins frame) {
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    const int width =
        std::max(1, std::min(pageSize.width() + ExtraWidth, workArea.width() - frameWidth));
    const int height = std::max(1, workArea.height() - frameHeight);
    const int outerLeft = screen.x() + (screen.width() - (width + frameWidth)) / 2;
    return QRect(outerLeft + frame.left(), workArea.y() + frame.top(), width, height);
}
