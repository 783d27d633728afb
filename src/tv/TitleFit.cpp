#include "tv/TitleFit.h"

int TitleFit::fit(const QString& title, int startSize, int barWidth, const TextMeasure& measure) {
    int size = startSize;
    while (size > 4) {
        if (measure(title, size).width() < barWidth - 4)
            return size;
        if (size == 5)
            break;
        --size;
    }
    return size;
}
