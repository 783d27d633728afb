#pragma once

#include "timing/ControlStates.h"
#include "timing/LightBarrier.h"

#include <QObject>

class QLabel;
class RaceSession;
class ColorButton;
class MainWindow;
class TimePanel;

// The window's half of the timing: the session's run clock, time display and barriers on the
// timing buttons and their commands, the time panel and the barrier pictures.
class TimingView : public QObject {
    Q_OBJECT
public:
    TimingView(MainWindow& window, RaceSession& session);
    ~TimingView() override;

    TimePanel* timePanel() const { return m_panel; }

    // Start-up: the buttons and the auto-entry box as the settings left the clock.
    void startUp();
    // Start-up: every barrier picture shows its flag (all blocked), and the pictures and lock
    // commands of a port opened at start-up are there.
    void showBarrierPictures();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectClock();
    void connectBarriers();
    void applyControlStates(const ControlStates& states);
    void focusButton(TimingButton which);
    void showPicture(LightBarrier barrier, int picture);
    ColorButton* button(TimingButton which) const;
    QLabel* image(LightBarrier barrier) const;

    MainWindow& m_window;
    RaceSession& m_session;
    TimePanel* m_panel = nullptr;
};
