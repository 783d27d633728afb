#include "print/PageGeometry.h"

#include <algorithm>
#include <limits>

PageGeometry PageGeometry::forDevice(int width, int height, int dpiX, int dpiY, int screenDpi) {
    const int screen = std::max(1, screenDpi);
    return PageGeometry{width, height, std::max(1, dpiX / screen), std::max(1, dpiY / screen)};
}

PageGeometry PageGeometry::preview() const {
    return PageGeometry{pageWidth / factorX, pageHeight / factorY, 1, 1};
}

int PageGeometry::saturated(qint64 v) {
    return static_cast<int>(
        std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
