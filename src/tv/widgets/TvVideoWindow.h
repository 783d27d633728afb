#pragma once

#include "tv/widgets/TvWindow.h"

class QLabel;

// "Video": a lower third for a video mixer on black, the event title at the bottom edge, the
// intermediate time above it and the competitor with the running time above that.
class TvVideoWindow : public TvWindow {
    Q_OBJECT
public:
    explicit TvVideoWindow(QWidget* parent = nullptr);

    QWidget* bestPanel() const { return m_panelBest; }
    QLabel* bestTime() const { return m_timeBest; }
    QLabel* bestName() const { return m_nameBest; }
    QLabel* currentTime() const { return m_timeCurrent; }
    QLabel* currentName() const { return m_nameCurrent; }

    // The pushed texts; a label without text is hidden (title, intermediate caption and time).
    void setContent(const QString& title, const QString& competitor,
                    const QString& intermediateCaption, const QString& intermediateTime);
    void setCurrentTime(const QString& text);

    void placeTvWindow(const QRect& bounds, bool separateScreen, bool modeChecked) override;
    void layoutWindow() override; // LayoutVideoWindow

private:
    void fitNames();
    void placeName(QLabel* label, int designedSize, int right, int top, int height);

    QWidget* m_panelBest = nullptr;
    QLabel* m_timeBest = nullptr;
    QLabel* m_nameBest = nullptr;
    QLabel* m_timeCurrent = nullptr;
    QLabel* m_nameCurrent = nullptr;
    int m_nameBestRight = 0;
    int m_nameCurrentRight = 0;
    int m_nameFont = 1;
    int m_bestFont = 1;
};
