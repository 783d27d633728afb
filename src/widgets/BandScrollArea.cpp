#include "widgets/BandScrollArea.h"

#include <QScrollBar>

BandScrollArea::BandScrollArea(QWidget* band, int designedWidth, QWidget* parent)
    : QScrollArea(parent), m_band(band), m_designedWidth(designedWidth) {
    setObjectName(QStringLiteral("HeaderScroll"));
    setFrameShape(QFrame::NoFrame);
    // Tab and the arrow keys belong to the band's controls, not to the scrolling.
    setFocusPolicy(Qt::NoFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    band->setMinimumWidth(designedWidth);
    setWidget(band);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    fitHeight();
}

void BandScrollArea::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    fitHeight();
}

void BandScrollArea::fitHeight() {
    const int bar = scrolls() ? horizontalScrollBar()->sizeHint().height() : 0;
    setFixedHeight(m_band->height() + bar);
}
