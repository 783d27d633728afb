#pragma once

#include "timing/DisplayRow.h"
#include "timing/DisplayRowState.h"

#include <QWidget>
#include <array>

class QLabel;
class SegmentDigit;

// The black 320 x 202 time panel: two rows of five seven-segment digits with their commas
// and the captions "Sek." and "1/100" under the upper row.
class TimePanel : public QWidget {
    Q_OBJECT
public:
    explicit TimePanel(QWidget* parent = nullptr);

    // Digits by row, left to right (upper: Digit4..Digit8; lower: Digit16, Digit18, Digit19,
    // Digit21, Digit22).
    SegmentDigit* digit(DisplayRow row, int position) const;
    QLabel* comma(DisplayRow row) const;
    QLabel* secondsCaption() const { return m_labSek; }
    QLabel* hundredthsCaption() const { return m_lab100; }

public Q_SLOTS:
    // Puts one row's values and colours on the digits; unchanged digits do not repaint.
    void applyRow(DisplayRow row, const DisplayRowState& state);

private:
    std::array<SegmentDigit*, 5> m_upper{};
    std::array<SegmentDigit*, 5> m_lower{};
    QLabel* m_labSec = nullptr;
    QLabel* m_labSec2 = nullptr;
    QLabel* m_labSek = nullptr;
    QLabel* m_lab100 = nullptr;
};
