#pragma once

#include <QPoint>
#include <QRect>
#include <QTabBar>

// The tab row of the stage pages, drawn by the program: the shown tab light blue and bold,
// captions trimmed and centred, grey when the page cannot be chosen.
class PageTabBar : public QTabBar {
    Q_OBJECT
public:
    static constexpr QRgb ActiveFill = 0xA6CAF0;
    static constexpr QRgb DisabledText = 0x808080;

    explicit PageTabBar(QWidget* parent = nullptr);

    // Top-left of the caption text inside a tab: centred horizontally, 4 pixels from the top.
    static QPoint captionOrigin(const QRect& tab, int textWidth);

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize tabSizeHint(int index) const override;
};
