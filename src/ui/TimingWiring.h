#pragma once

#include "timing/ControlStates.h"
#include "timing/LightBarrier.h"
#include "timing/MonotonicTickSource.h"
#include "timing/TimingSettings.h"

#include <QObject>
#include <memory>

class BarrierLogic;
class LightBarrierPort;
class QLabel;
class RunClock;
class SerialSystem;
class TBitBtnWithColor;
class TFormMain;
class TimeDisplay;
class TimePanel;
struct Settings;

// Puts the run clock, the time display and the light-barrier logic into the main window: the
// clock's control states onto the timing buttons and their commands, its times onto the time
// panel, the finished run into the selected row, and the barrier flags onto their pictures.
class TimingWiring : public QObject {
    Q_OBJECT
public:
    // Without an injected clock the raw monotonic clock times the runs; without an injected
    // serial system the light-barrier port uses the operating system's devices.
    TimingWiring(TFormMain& window, std::shared_ptr<const TickSource> ticks,
                 std::shared_ptr<SerialSystem> serialSystem);
    ~TimingWiring() override;

    RunClock& clock() { return *m_clock; }
    const RunClock& clock() const { return *m_clock; }
    TimeDisplay& display() { return *m_display; }
    BarrierLogic& barriers() { return *m_barriers; }
    LightBarrierPort& port() { return *m_port; }
    TimePanel* timePanel() const { return m_panel; }
    const TickSource& tickSource() const { return *m_ticks; }
    std::shared_ptr<const TickSource> sharedTickSource() const { return m_ticks; }

    // The stored values the clock and the barriers work with.
    static TimingSettings timingSettings(const Settings& settings);

    // Start-up: the loaded settings on the clock and the barriers (TIMER, "Zwischen", the
    // countdown colour, the auto-entry box).
    void startUp(const Settings& settings);
    // Start-up: no best time yet; the upper row shows zero or the countdown, the lower zero.
    void showInitialTimes();
    // Start-up: every barrier picture shows its flag (all blocked).
    void showBarrierPictures();
    // CurrentCompetitor and CurrentClub from the selected row of the shown start list; on the
    // results pages both stay.
    void captureCompetitor();
    // Writes a run time into the selected row of the active stage and moves the selection on,
    // as "Eintragen" does.
    void enterResult(qint32 runTimeMs);

Q_SIGNALS:
    // Result entry moved the selection of this start list (page 0 or 2), or found it could
    // not move; the window runs its selected-row steps either way.
    void selectedRowStepsRequested(int page);

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
    int activePage() const;

    TFormMain& m_window;
    std::shared_ptr<const TickSource> m_ticks;
    RunClock* m_clock = nullptr;
    TimeDisplay* m_display = nullptr;
    BarrierLogic* m_barriers = nullptr;
    std::unique_ptr<LightBarrierPort> m_port;
    TimePanel* m_panel = nullptr;
};
