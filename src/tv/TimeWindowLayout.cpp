#include "tv/TimeWindowLayout.h"

#include "tv/TitleFit.h"

#include <cmath>

namespace {

constexpr int ShadowRoom = 2;

int rounded(double value) {
    return static_cast<int>(std::lround(value));
}

} // namespace

TimeWindowLayout TimeWindowLayout::compute(QSize window, QSize picture, const QString& title,
                                           const std::array<QString, 3>& wordMark,
                                           const TextMeasure& measure) {
    TimeWindowLayout l;
    const int W = window.width();
    const int H = window.height();
    // The scale the window is placed with: the client height over the designed panel height.
    const double placedScale = static_cast<double>(H) / DesignedPanelHeight;
    const int F = rounded(DesignedPanelHeight * placedScale / 10);
    l.footerHeight = F;
    l.windowFont = F / 2;
    l.title = QRect(0, 0, W, F);
    l.titleFont = TitleFit::fit(title, l.windowFont, W, measure);
    l.labelBestFont = rounded(l.windowFont * 1.2);
    l.footer = QRect(0, H - F, W, F);

    const int middleHeight = qMax(0, H - 2 * F);
    l.scaleY = static_cast<double>(middleHeight) / DesignedPanelHeight;
    const int panelWidth = qMin(W, rounded(DesignedPanelWidth * l.scaleY));
    l.scaleX = static_cast<double>(panelWidth) / DesignedPanelWidth;
    const int P = qMax(0, middleHeight - F);
    l.timerPanel = QRect((W - panelWidth) / 2, F, panelWidth, P);
    l.labelBest = QRect(0, F + P, W, F);
    l.nameCurrent = QRect(0, P - F, panelWidth, F);

    const int upperTop = F / 3;
    const int upperHeight = P * 4 / 10;
    l.thickness = upperHeight / 13;
    const int lowerTop = upperTop + upperHeight + 2 * l.thickness;
    const int lowerHeight = P * 57 / 100 - rounded(F * 1.8);
    for (int i = 0; i < 5; ++i) {
        const int left = rounded(DigitLeft[i] * l.scaleX);
        const int right = rounded((DigitLeft[i] + DigitWidth) * l.scaleX);
        l.upper[i] = QRect(left, upperTop, right - left, upperHeight);
        l.lower[i] = QRect(left, lowerTop, right - left, lowerHeight);
    }
    const int commaLeft = l.upper[2].x() + l.upper[2].width();
    const int commaWidth = l.upper[3].x() - commaLeft;
    l.upperComma = QRect(commaLeft, upperTop, commaWidth, rounded(upperHeight * 1.2));
    l.lowerComma = QRect(commaLeft, lowerTop, commaWidth, rounded(lowerHeight * 1.2));
    l.commaFont = rounded(CommaPixels * l.scaleX);

    if (picture.width() > 0 && picture.height() > 0)
        l.logoWidth = rounded(static_cast<double>(picture.width()) * F / picture.height());

    l.wordMarkFont = F / 2;
    int total = 0;
    for (int i = 0; i < 3; ++i) {
        l.wordMarkWidths[i] = measure(wordMark[i], l.wordMarkFont).width();
        total += l.wordMarkWidths[i];
    }
    // The last part's shadow needs its two pixels inside the window too.
    l.wordMark = QRect(W - total - ShadowRoom, 0, total + ShadowRoom, F);
    return l;
}
