#include "tv/BestTeamWindowLayout.h"

#include "tv/TimeWindowLayout.h"
#include "tv/TitleFit.h"

#include <cmath>

BestTeamWindowLayout BestTeamWindowLayout::compute(QSize window, const QString& title,
                                                   const TextMeasure& measure) {
    BestTeamWindowLayout l;
    const int W = window.width();
    const int H = window.height();
    const double placedScale = static_cast<double>(H) / TimeWindowLayout::DesignedPanelHeight;
    const int F =
        static_cast<int>(std::lround(TimeWindowLayout::DesignedPanelHeight * placedScale / 8));
    l.footerHeight = F;
    l.windowFont = F / 2;
    l.title = QRect(0, 0, W, F);
    l.titleFont = TitleFit::fit(title, l.windowFont, W, measure);
    l.labelBestFont = static_cast<int>(std::lround(l.windowFont * 1.2));
    l.footer = QRect(0, H - F, W, F);
    const int middleHeight = qMax(0, H - 2 * F);
    const double scaleY = static_cast<double>(middleHeight) / TimeWindowLayout::DesignedPanelHeight;
    const int panelWidth =
        qMin(W, static_cast<int>(std::lround(TimeWindowLayout::DesignedPanelWidth * scaleY)));
    l.panel = QRect((W - panelWidth) / 2, F, panelWidth, middleHeight);
    l.heading = QRect(0, 0, panelWidth, qMin(middleHeight, 2 * F));
    l.members = QRect(0, l.heading.height(), panelWidth, middleHeight - l.heading.height());
    return l;
}
