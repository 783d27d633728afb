#pragma once

#include <QScrollArea>

// Holds the header band at the top of the window. The band's controls stand at designed pixel
// places; in a window narrower than that (a small screen at a large scale) the band scrolls
// sideways instead of losing its right end, so no button is out of reach.
class BandScrollArea : public QScrollArea {
    Q_OBJECT
public:
    BandScrollArea(QWidget* band, int designedWidth, QWidget* parent = nullptr);

    bool scrolls() const { return width() < m_designedWidth; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitHeight();

    QWidget* m_band;
    int m_designedWidth;
};
