#include "tv/TextFit.h"

#include <QStringList>

QSize TextFit::extent(const QString& text, int size, const TextMeasure& measure) {
    QSize total(0, 0);
    const QStringList lines = QString(text).remove(u'\r').split(u'\n');
    for (const QString& line : lines) {
        const QSize one = measure(line, size);
        total.setWidth(qMax(total.width(), one.width()));
        total.setHeight(total.height() + one.height());
    }
    return total;
}

int TextFit::size(const QString& text, int startSize, QSize room, const TextMeasure& measure) {
    int size = startSize;
    while (size > SmallestSize) {
        const QSize needed = extent(text, size, measure);
        if (needed.width() <= room.width() && needed.height() <= room.height())
            return size;
        --size;
    }
    return size;
}

int TextFit::barWidth(const QString& text, int size, int designedWidth, int maxWidth, int margin,
                      const TextMeasure& measure) {
    const int needed = extent(text, size, measure).width() + 2 * margin;
    return qMax(designedWidth, qMin(needed, maxWidth));
}
