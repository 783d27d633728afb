#include "tv/Top3WindowLayout.h"

#include "tv/TitleFit.h"

Top3WindowLayout Top3WindowLayout::compute(QSize window, const QString& title,
                                           const TextMeasure& measure) {
    Top3WindowLayout l;
    const int W = window.width();
    const int H = window.height();
    const int titleHeight = H / 12;
    l.windowFont = titleHeight / 2;
    l.title = QRect(0, 0, W, titleHeight);
    l.titleFont = TitleFit::fit(title, l.windowFont, W, measure);
    l.footer = QRect(0, H - titleHeight, W, titleHeight);
    l.footerFont = l.titleFont;
    l.table = QRect(0, titleHeight, W, qMax(0, H - 2 * titleHeight));
    l.rowHeight = l.table.height() / Lines;
    const int G = l.table.width();
    const int place = G / 15, number = G / 10, cls = G / 15, champion = G / 15, time = G / 6;
    const int name = G - (place + number + cls + champion + time) - 2;
    l.columnWidths = {place, number, name, cls, champion, time};
    l.wordMarkFont = titleHeight / 2;
    l.wordMark = QRect(0, 0, W / 2, titleHeight);
    return l;
}
