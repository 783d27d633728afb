#pragma once

#include "timing/ControlStates.h"
#include "timing/LightBarrier.h"

#include <QObject>
#include <memory>

class BarrierLogic;
class LightBarrierPort;
class QLabel;
class RaceSession;
class RunClock;
class TBitBtnWithColor;
class TFormMain;
class TickSource;
class TimeDisplay;
class TimePanel;

// Puts the session's run clock, time display and light-barrier logic into the main window: the
// clock's control states onto the timing buttons and their commands, its times onto the time
// panel, and the barrier flags onto their pictures.
class TimingWiring : public QObject {
    Q_OBJECT
public:
    TimingWiring(TFormMain& window, RaceSession& session);
    ~TimingWiring() override;

    RunClock& clock();
    const RunClock& clock() const;
    TimeDisplay& display();
    BarrierLogic& barriers();
    LightBarrierPort& port();
    TimePanel* timePanel() const { return m_panel; }
    std::shared_ptr<const TickSource> sharedTickSource() const;

    // Start-up: the buttons and the auto-entry box as the settings left the clock.
    void startUp();
    // Start-up: every barrier picture shows its flag (all blocked), and the pictures and lock
    // commands of a port opened at start-up are there.
    void showBarrierPictures();
    // A run time into the selected row of the active stage, as "Eintragen" does.
    void enterResult(qint32 runTimeMs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectClock();
    void connectBarriers();
    void applyControlStates(const ControlStates& states);
    void focusButton(TimingButton which);
    void showPicture(LightBarrier barrier, int picture);
    TBitBtnWithColor* button(TimingButton which) const;
    QLabel* image(LightBarrier barrier) const;

    TFormMain& m_window;
    RaceSession& m_session;
    TimePanel* m_panel = nullptr;
};
