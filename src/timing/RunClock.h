#pragma once

#include "timing/ControlStates.h"
#include "timing/DisplayRow.h"
#include "timing/TimingSettings.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

class TickSource;

// Times one run at a time: turns the timing commands of keys, buttons and light barriers into
// clock states, microsecond stamps and control states. It tells what happened in the race (a
// run started, stopped, entered, not finished; the display changed) and leaves it to its
// listeners what follows: the session enters results, the window focuses and enables. Only the
// barriers, its own part of timing, get their locks asked for directly. A command whose button is
// disabled does nothing, so every input takes the same guarded path.
class RunClock : public QObject {
    Q_OBJECT
public:
    enum class State { Ready, Countdown, Running, Stopped };
    Q_ENUM(State)

    // What the intermediate stamp holds. The first value matters beyond one run: as long as
    // no intermediate signal was ever given, the lower display row shows the best time.
    enum class LapMark { NoneSinceStartUp, Cleared, Taken };
    Q_ENUM(LapMark)

    // The commands as the journal names them, and where one came from: the operator (key,
    // button or menu), a light barrier, or the clock itself (countdown end, auto entry).
    enum class Command { Timer, Start, Lap, Stop, Enter, Reset, NotFinished };
    Q_ENUM(Command)
    enum class Origin { Operator, Barrier, Automatic, Timer };
    Q_ENUM(Origin)

    static constexpr qint32 noBestTime = 2147483647;
    static constexpr int clockIntervalMs = 10;
    static constexpr int autoEntryIntervalMs = 5000;
    static constexpr int countdownStartDelayMs = 20;

    explicit RunClock(const TickSource& ticks, QObject* parent = nullptr);

    // The best time after entering a run: a run above 0 that beats it. Times in ms,
    // noBestTime for none.
    static qint32 bestTimeAfter(qint32 bestTime, qint32 runTimeMs);

    // How long ago the operator's key for the command at hand was pressed, when a key gave it:
    // Start, Zwischen and Stopp from the keyboard then take the moment of the press, however
    // late the window got to it.
    using KeyAge = std::function<std::optional<qint64>()>;
    void setOperatorKeyAge(KeyAge age) { m_keyAge = std::move(age); }
    // Asked before a stopped run's time is entered. False leaves the run stopped with its time
    // (a pending automatic entry is dropped), so nothing is entered where it does not belong
    // and the operator can enter it once the reason is gone.
    using EntryGate = std::function<bool(Origin origin)>;
    void setEntryGate(EntryGate gate) { m_entryGate = std::move(gate); }

    const TickSource& tickSource() const { return m_ticks; }
    State state() const { return m_state; }
    const ControlStates& controlStates() const { return m_controls; }
    bool isAvailable(TimingButton button) const { return m_controls.button(button).enabled; }

    // Stamps in microseconds of the tick source.
    qint64 startStamp() const { return m_startStamp; }
    qint64 stopStamp() const { return m_stopStamp; }
    std::optional<qint64> lapStamp() const;
    LapMark lapMark() const { return m_lapMark; }

    bool lapTaken() const { return m_lapTaken; }
    bool countdownActive() const { return m_countdownActive; }
    qint32 bestTime() const { return m_bestTime; } // ms; noBestTime when none
    qint32 runTime() const;                        // ms, truncated to whole hundredths
    // The intermediate time of the current run for the TV windows, ms in whole hundredths;
    // empty when no intermediate signal came since the last reset.
    std::optional<qint32> intermediateTime() const;
    bool isClockRunning() const { return m_clock.isActive(); }
    bool isAutoEntryPending() const { return m_autoEntry.isActive(); }
    bool autoEntry() const { return m_autoEntryOn; }
    qint32 timerMs() const { return m_timerMs; }
    qint32 lengthMetres() const { return m_lengthMetres; }

    // A span of microseconds as milliseconds truncated toward zero to a multiple of 10.
    static qint32 truncatedToHundredths(qint64 spanMicroseconds);
    // The speed over the last section in km/h x 1000, rounded half to even; empty when the
    // span gives no speed.
    static std::optional<qint32> speed(qint32 lengthMetres, qint32 spanMs);

public Q_SLOTS:
    // The window's start-up, after the settings are loaded.
    void startUp(const TimingSettings& settings);
    // The settings dialog was accepted, in its steps: the countdown mode and the "Zwischen"
    // button from Timer and Len, then the settled times on both rows (only while ready and not
    // running), then TIMER and the focus.
    void takeSettings(const TimingSettings& settings);
    void showSettledTimes();
    void showTimerButton();
    // The auto-entry check box.
    void setAutoEntry(bool on);
    // The pending automatic entry of a stopped run is dropped: the operator enters it (or
    // another time for it) by hand.
    void holdAutoEntry() { m_autoEntry.stop(); }

    // Commands. Those without a stamp read the tick source now (keys, buttons); the light
    // barriers pass the stamp taken when their line changed.
    void beginCountdown(); // "TIMER", F4
    void start();          // "START", F5
    // A professional timer passes Origin::Timer: its stamps are its own clock's, mapped.
    void startAt(qint64 stampMicroseconds, RunClock::Origin origin = Origin::Barrier);
    void lap(); // "Zwischen", F6
    void lapAt(qint64 stampMicroseconds, RunClock::Origin origin = Origin::Barrier);
    void stop(); // "STOPP", F8
    void stopAt(qint64 stampMicroseconds, RunClock::Origin origin = Origin::Barrier);
    void enter(); // "Eintragen", F9, and the auto entry
    // "Nicht im Ziel", F7: a running run ends without a time; the competitor gets "DNF" and
    // the clock is ready for the next one. Available exactly when "Stopp" is.
    void notFinished();
    void reset(); // "00:00", F10
    // "Neue": forget the best time.
    void clearBestTime();
    // The 10 ms tick; shows the time from the clock reading.
    void clockTick();

Q_SIGNALS:
    void stateChanged(RunClock::State state);
    // A command that acted, with the stamp it used (Start, Zwischen, Stopp: the run's own
    // stamps; the others: the clock reading), before the signals it causes.
    void commandTaken(RunClock::Command command, qint64 stampMicroseconds, RunClock::Origin origin);
    void controlStatesChanged(const ControlStates& states);

    // The display: the time a row shows now (running, final, countdown, best, intermediate
    // time or speed), and the clock's mode its colour tells (countdown, run, intermediate
    // time taken) may have changed.
    void displayedTimeChanged(DisplayRow row, qint32 milliseconds);
    void displayModeChanged();

    // The course of the run.
    // The command the operator gives next in the usual course of a run, named after each step
    // that changes it (a reset names Start, then the countdown button when there is one).
    void nextCommandChanged(TimingButton next);
    // The run moved on in a way the audience follows: a countdown or a run began, an
    // intermediate time was taken, or the clock is ready for the next competitor.
    void runProgressed();
    // A run started: its start is stamped, and it belongs to the competitor on the slide. The
    // audience and the barriers hear of it after this.
    void runStarted();
    // A run stopped; its time waits for its entry. Emitted last, once the clock has settled.
    void runStopped();
    // A stopped run was entered with this time, before the best time and the reset follow.
    void runEntered(qint32 runTimeMs);
    // A running run ended without a time ("Nicht im Ziel"), before the reset follows.
    void runNotFinished();
    // The run is over (entered, not finished or reset) and the clock is ready for the next
    // one; the countdown button, when there is one, is named next after this.
    void readyForNextRun();
    void autoEntryChanged(bool on);

    // Light barriers, with the stamp of the command that caused them.
    void blockStartBarrierRequested(qint64 stampMicroseconds);
    void stopLockRestartRequested(qint64 stampMicroseconds);
    void intermediatePictureFreeRequested();
    void startLockStopRequested();
    void blockStopBarrierRequested(qint64 stampMicroseconds);
    void freeStartBarrierRequested();

private:
    void runStart(qint64 stamp, Origin origin);
    void runLap(qint64 stamp, Origin origin);
    void runStop(qint64 stamp, Origin origin);
    void enterFrom(Origin origin);
    void runReset();
    void showLowerRowAfterReset();
    void onCountdownEnded();
    qint64 notBeforeStart(qint64 stamp) const;
    qint64 operatorStamp() const;
    qint32 elapsedMs() const;
    void setState(State state);
    void publish();

    const TickSource& m_ticks;
    KeyAge m_keyAge;
    EntryGate m_entryGate;
    State m_state = State::Ready;
    ControlStates m_controls;
    ControlStates m_published;

    qint64 m_startStamp = 0;
    qint64 m_stopStamp = 0;
    qint64 m_lapStamp = 0;
    LapMark m_lapMark = LapMark::NoneSinceStartUp;
    bool m_lapTaken = false;
    bool m_countdownActive = false;
    qint32 m_bestTime = noBestTime;

    qint32 m_timerMs = 10000;
    qint32 m_lengthMetres = 50;
    bool m_autoEntryOn = true;

    QTimer m_clock;        // Clock
    QTimer m_autoEntry;    // TimerReset
    QTimer m_countdownEnd; // the short pause between the countdown's end and Start
};
