#pragma once

#include "timing/DisplayRow.h"
#include "timing/DisplayRowState.h"
#include "tv/widgets/TvWindow.h"

#include <QPixmap>
#include <array>

class QLabel;
class SegmentDigit;
class TvWordMark;

// "Zeit": the time display for the audience, the main window's digits scaled onto the screen
// with the competitor, the club, the logo and the word mark.
class TvTimeWindow : public TvWindow {
    Q_OBJECT
public:
    explicit TvTimeWindow(QWidget* parent = nullptr);

    SegmentDigit* digit(DisplayRow row, int position) const;
    QLabel* comma(DisplayRow row) const;
    QWidget* timerPanel() const { return m_timerPanel; }
    QLabel* currentName() const { return m_nameCurrent; }
    QLabel* bestLabel() const { return m_labelBest; }
    QWidget* footer() const { return m_footer; }
    QLabel* logoPicture() const { return m_image; }
    TvWordMark* wordMark() const { return m_wordMark; }
    double scaleX() const { return m_scaleX; }
    double scaleY() const { return m_scaleY; }

    void setContent(const QString& title, const QString& competitor, const QString& club);
    // Loads the logo picture; false (and an empty footer picture) when it cannot be read.
    bool loadLogo(const QString& path);
    bool hasLogo() const { return !m_logo.isNull(); }

    void layoutWindow() override; // LayoutTimeWindow

public Q_SLOTS:
    // One display row's values and colours, as the main window's digits get them.
    void applyRow(DisplayRow row, const DisplayRowState& state);

private:
    // The competitor and club texts at their designed sizes, smaller only where they would be
    // cut; the competitor bar first grows to the window's width.
    void fitBars();

    std::array<SegmentDigit*, 5> m_upper{};
    std::array<SegmentDigit*, 5> m_lower{};
    QWidget* m_timerPanel = nullptr;
    QLabel* m_labSec = nullptr;
    QLabel* m_labSec2 = nullptr;
    QLabel* m_nameCurrent = nullptr;
    QLabel* m_labelBest = nullptr;
    QWidget* m_footer = nullptr;
    QLabel* m_image = nullptr;
    TvWordMark* m_wordMark = nullptr;
    QPixmap m_logo;
    int m_logoWidth = 0;
    QRect m_nameBar; // as designed, in window coordinates
    int m_barFont = 1;
    int m_clubFont = 1;
    double m_scaleX = 1;
    double m_scaleY = 1;
};
