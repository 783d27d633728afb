#pragma once

#include "tv/TextMeasure.h"

#include <QRect>
#include <array>
#include <optional>

// Where everything of the "Zeit" window goes: the main window's 320 x 202 time panel scaled
// onto the screen between a title bar and a footer, with the competitor and club bars.
struct TimeWindowLayout {
    static constexpr int DesignedPanelWidth = 320;
    static constexpr int DesignedPanelHeight = 202;
    // The main window's digits (left, top, width, height) and its comma's pixel size.
    static constexpr std::array<int, 5> DigitLeft{8, 64, 120, 200, 256};
    static constexpr int DigitWidth = 52;
    static constexpr int UpperTop = 9;
    static constexpr int UpperHeight = 92;
    static constexpr int CommaPixels = 64;

    int footerHeight = 0; // F
    int windowFont = 0;
    int titleFont = 0;
    int labelBestFont = 0;
    QRect title;
    QRect timerPanel;  // in window coordinates
    QRect nameCurrent; // in timer panel coordinates
    QRect labelBest;
    QRect footer;
    // Digits and commas in timer panel coordinates.
    std::array<QRect, 5> upper{};
    std::array<QRect, 5> lower{};
    int thickness = 0;
    QRect upperComma;
    QRect lowerComma;
    int commaFont = 0;
    std::optional<int> logoWidth; // empty without a picture: the logo keeps its width
    QRect wordMark;               // in footer coordinates
    std::array<int, 3> wordMarkWidths{};
    int wordMarkFont = 0;
    double scaleX = 0;
    double scaleY = 0;

    static TimeWindowLayout compute(QSize window, QSize picture, const QString& title,
                                    const std::array<QString, 3>& wordMark,
                                    const TextMeasure& measure);
};
