#include "timing/RunClock.h"

#include "timing/TickSource.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

using Button = ControlStates::Button;

const Button faceDisabled{false, std::nullopt};

qint32 clampToInt32(qint64 value) {
    // The sentinel for "no time" must not come out of a computation.
    constexpr qint64 high = std::numeric_limits<qint32>::max() - 1;
    constexpr qint64 low = std::numeric_limits<qint32>::min();
    return static_cast<qint32>(qBound(low, value, high));
}

} // namespace

RunClock::RunClock(const TickSource& ticks, QObject* parent) : QObject(parent), m_ticks(ticks) {
    m_published = m_controls;

    m_clock.setTimerType(Qt::PreciseTimer);
    m_clock.setInterval(clockIntervalMs);
    connect(&m_clock, &QTimer::timeout, this, &RunClock::clockTick);

    m_autoEntry.setTimerType(Qt::PreciseTimer);
    m_autoEntry.setSingleShot(true);
    m_autoEntry.setInterval(autoEntryIntervalMs);
    connect(&m_autoEntry, &QTimer::timeout, this, [this] { enterFrom(Origin::Automatic); });

    m_countdownEnd.setTimerType(Qt::PreciseTimer);
    m_countdownEnd.setSingleShot(true);
    m_countdownEnd.setInterval(countdownStartDelayMs);
    connect(&m_countdownEnd, &QTimer::timeout, this, [this] {
        if (m_controls.start.enabled)
            runStart(m_ticks.nowMicroseconds(), Origin::Automatic);
    });
}

std::optional<qint64> RunClock::lapStamp() const {
    if (m_lapMark != LapMark::Taken)
        return std::nullopt;
    return m_lapStamp;
}

qint32 RunClock::runTime() const {
    return truncatedToHundredths(m_stopStamp - m_startStamp);
}

std::optional<qint32> RunClock::intermediateTime() const {
    if (m_lapMark != LapMark::Taken)
        return std::nullopt;
    return truncatedToHundredths(m_lapStamp - m_startStamp);
}

qint32 RunClock::truncatedToHundredths(qint64 spanMicroseconds) {
    // Only the difference is truncated; truncating each stamp first would lose a hundredth
    // in a few percent of the runs.
    return clampToInt32(spanMicroseconds / 10000 * 10);
}

std::optional<qint32> RunClock::speed(qint32 lengthMetres, qint32 spanMs) {
    if (lengthMetres <= 0 || spanMs <= 0)
        return std::nullopt;
    const double exact = static_cast<double>(lengthMetres) * 3600000.0 / spanMs;
    const int previousMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(exact);
    std::fesetround(previousMode);
    return clampToInt32(static_cast<qint64>(rounded));
}

void RunClock::startUp(const TimingSettings& settings) {
    m_lapMark = LapMark::NoneSinceStartUp;
    m_timerMs = settings.timerMs;
    m_lengthMetres = settings.lengthMetres;
    setAutoEntry(settings.autoReset);
    Q_EMIT autoEntryChanged(m_autoEntryOn);

    m_controls.timerVisible = m_timerMs > 0;
    m_controls.timer.enabled = m_controls.timerVisible;
    m_controls.timer.colour =
        m_controls.timer.enabled ? std::optional<quint32>(ControlStates::orange) : std::nullopt;
    m_countdownActive = m_timerMs > 0;
    if (m_countdownActive)
        Q_EMIT displayModeChanged();
    m_controls.lapVisible = m_lengthMetres > 0;
    m_controls.lap = faceDisabled;
    setState(State::Ready);
    publish();

    m_bestTime = noBestTime;
    Q_EMIT displayedTimeChanged(DisplayRow::Upper, 0);
    Q_EMIT displayedTimeChanged(DisplayRow::Lower, m_bestTime);
}

void RunClock::takeSettings(const TimingSettings& settings) {
    m_timerMs = settings.timerMs;
    m_lengthMetres = settings.lengthMetres;
    m_controls.lapVisible = m_lengthMetres > 0;
    // A light barrier may have started a run while the dialog was open. Switching the
    // countdown mode now would turn the running time into a countdown; the next reset applies
    // it.
    if (m_state == State::Ready)
        m_countdownActive = m_timerMs > 0;
    publish();
}

void RunClock::showSettledTimes() {
    if (m_state != State::Ready || m_clock.isActive())
        return;
    Q_EMIT displayedTimeChanged(DisplayRow::Upper, 0);
    Q_EMIT displayedTimeChanged(DisplayRow::Lower,
                                m_lapMark == LapMark::NoneSinceStartUp ? m_bestTime : 0);
}

void RunClock::showTimerButton() {
    if (m_state != State::Ready) {
        m_controls.timerVisible = m_timerMs > 0;
        publish();
        return;
    }
    m_controls.timerVisible = m_countdownActive;
    m_controls.timer.enabled = m_countdownActive;
    m_controls.timer.colour =
        m_countdownActive ? std::optional<quint32>(ControlStates::orange) : std::nullopt;
    publish();
    if (m_controls.timerVisible)
        Q_EMIT nextCommandChanged(TimingButton::Timer);
    else if (m_controls.start.enabled)
        Q_EMIT nextCommandChanged(TimingButton::Start);
}

void RunClock::setAutoEntry(bool on) {
    m_autoEntryOn = on;
}

void RunClock::beginCountdown() {
    if (!m_controls.timer.enabled)
        return;
    m_countdownActive = m_timerMs > 0;
    m_startStamp = m_ticks.nowMicroseconds();
    Q_EMIT commandTaken(Command::Timer, m_startStamp, Origin::Operator);
    m_clock.start();
    m_controls.settingsEnabled = false;
    m_controls.timer = faceDisabled;
    m_controls.start = Button{true, ControlStates::green};
    m_controls.stop = faceDisabled;
    m_controls.reset = faceDisabled;
    setState(State::Countdown);
    publish();
    Q_EMIT freeStartBarrierRequested();
    Q_EMIT nextCommandChanged(TimingButton::Start);
    Q_EMIT runProgressed();
}

void RunClock::start() {
    if (m_controls.start.enabled)
        runStart(operatorStamp(), Origin::Operator);
}

qint64 RunClock::operatorStamp() const {
    const qint64 now = m_ticks.nowMicroseconds();
    const std::optional<qint64> age = m_keyAge ? m_keyAge() : std::nullopt;
    return age ? now - *age : now;
}

void RunClock::startAt(qint64 stampMicroseconds, Origin origin) {
    if (m_controls.start.enabled)
        runStart(stampMicroseconds, origin);
}

void RunClock::lap() {
    if (m_controls.lap.enabled)
        runLap(operatorStamp(), Origin::Operator);
}

void RunClock::lapAt(qint64 stampMicroseconds, Origin origin) {
    if (m_controls.lap.enabled)
        runLap(stampMicroseconds, origin);
}

void RunClock::stop() {
    if (m_controls.stop.enabled)
        runStop(operatorStamp(), Origin::Operator);
}

void RunClock::stopAt(qint64 stampMicroseconds, Origin origin) {
    if (m_controls.stop.enabled)
        runStop(stampMicroseconds, origin);
}

void RunClock::enter() {
    enterFrom(Origin::Operator);
}

void RunClock::enterFrom(Origin origin) {
    if (!m_controls.enter.enabled)
        return;
    if (m_entryGate && !m_entryGate(origin)) {
        m_autoEntry.stop();
        return;
    }
    Q_EMIT commandTaken(Command::Enter, m_ticks.nowMicroseconds(), origin);
    m_autoEntry.stop();
    m_controls.enter = faceDisabled;
    publish();
    const qint32 run = runTime();
    Q_EMIT runEntered(run);
    const qint32 best = bestTimeAfter(m_bestTime, run);
    if (best != m_bestTime) {
        m_bestTime = best;
        if (m_lapMark == LapMark::NoneSinceStartUp)
            Q_EMIT displayedTimeChanged(DisplayRow::Lower, m_bestTime);
    }
    runReset();
}

void RunClock::notFinished() {
    if (!m_controls.stop.enabled)
        return;
    const qint64 stamp = operatorStamp();
    m_clock.stop();
    m_stopStamp = notBeforeStart(stamp);
    Q_EMIT commandTaken(Command::NotFinished, m_stopStamp, Origin::Operator);
    // The stop barrier is locked as after a stop, so a late rider on it stops no next run.
    Q_EMIT startLockStopRequested();
    Q_EMIT blockStopBarrierRequested(m_stopStamp);
    m_controls.stop = faceDisabled;
    m_controls.lap = faceDisabled;
    Q_EMIT runNotFinished();
    runReset();
}

qint32 RunClock::bestTimeAfter(qint32 bestTime, qint32 runTimeMs) {
    return runTimeMs > 0 && runTimeMs < bestTime ? runTimeMs : bestTime;
}

void RunClock::reset() {
    if (!m_controls.reset.enabled)
        return;
    Q_EMIT commandTaken(Command::Reset, m_ticks.nowMicroseconds(), Origin::Operator);
    runReset();
}

void RunClock::clearBestTime() {
    m_bestTime = noBestTime;
    Q_EMIT displayedTimeChanged(DisplayRow::Lower, 0);
}

void RunClock::clockTick() {
    if (!m_clock.isActive())
        return;
    const qint32 elapsed = elapsedMs();
    Q_EMIT displayedTimeChanged(DisplayRow::Upper, elapsed);
    // The clock notices the countdown's end from its own reading, so the run starts by
    // itself whether or not a display is attached.
    if (m_countdownActive && static_cast<qint64>(m_timerMs) - elapsed < 1)
        onCountdownEnded();
}

void RunClock::runStart(qint64 stamp, Origin origin) {
    m_countdownEnd.stop();
    m_countdownActive = false;
    m_startStamp = stamp;
    Q_EMIT commandTaken(Command::Start, m_startStamp, origin);
    m_clock.start();
    m_controls.settingsEnabled = false;
    m_lapTaken = false;
    m_controls.start = faceDisabled;
    m_controls.timer = faceDisabled;
    m_controls.lap = Button{true, ControlStates::yellow};
    if (m_controls.timerVisible)
        Q_EMIT displayModeChanged();
    Q_EMIT runStarted();
    Q_EMIT runProgressed();
    m_controls.stop = Button{true, ControlStates::red};
    m_controls.reset.enabled = false;
    setState(State::Running);
    publish();
    Q_EMIT blockStartBarrierRequested(stamp);
    Q_EMIT stopLockRestartRequested(stamp);
    Q_EMIT nextCommandChanged(TimingButton::Stop);
    Q_EMIT intermediatePictureFreeRequested();
}

void RunClock::runLap(qint64 stamp, Origin origin) {
    m_lapStamp = notBeforeStart(stamp);
    m_lapMark = LapMark::Taken;
    Q_EMIT commandTaken(Command::Lap, m_lapStamp, origin);
    Q_EMIT displayedTimeChanged(DisplayRow::Lower,
                                truncatedToHundredths(m_lapStamp - m_startStamp));
    m_lapTaken = true;
    Q_EMIT displayModeChanged();
    Q_EMIT runProgressed();
}

void RunClock::runStop(qint64 stamp, Origin origin) {
    m_stopStamp = notBeforeStart(stamp);
    m_clock.stop();
    Q_EMIT commandTaken(Command::Stop, m_stopStamp, origin);
    m_controls.start.enabled = false;
    m_controls.stop = faceDisabled;
    m_controls.lap = faceDisabled;
    m_controls.reset = Button{true, ControlStates::black};
    m_controls.enter = Button{true, ControlStates::skyBlue};
    setState(State::Stopped);
    publish();
    Q_EMIT displayedTimeChanged(DisplayRow::Upper, runTime());
    if (m_lengthMetres > 0) {
        // Without an intermediate signal in this run there is no section to measure; the
        // stamp of an earlier run would give a meaningless speed.
        std::optional<qint32> kmh;
        if (m_lapTaken && m_lapMark == LapMark::Taken)
            kmh = speed(m_lengthMetres, truncatedToHundredths(m_stopStamp - m_lapStamp));
        Q_EMIT displayedTimeChanged(DisplayRow::Lower, kmh.value_or(0));
    }
    Q_EMIT startLockStopRequested();
    Q_EMIT blockStopBarrierRequested(m_stopStamp);
    if (m_autoEntryOn)
        m_autoEntry.start();
    Q_EMIT nextCommandChanged(TimingButton::Enter);
    Q_EMIT runStopped();
}

void RunClock::runReset() {
    m_countdownActive = m_timerMs > 0;
    Q_EMIT displayModeChanged();
    Q_EMIT displayedTimeChanged(DisplayRow::Upper, 0);
    showLowerRowAfterReset();
    if (m_lapMark != LapMark::NoneSinceStartUp)
        m_lapMark = LapMark::Cleared;

    m_controls.settingsEnabled = true;
    m_controls.start = Button{true, ControlStates::green};
    m_controls.reset = faceDisabled;
    m_controls.enter = faceDisabled;
    m_controls.timer = Button{m_controls.timerVisible, ControlStates::orange};
    m_controls.lap = faceDisabled;
    setState(State::Ready);
    publish();

    Q_EMIT nextCommandChanged(TimingButton::Start);
    Q_EMIT readyForNextRun();
    Q_EMIT nextCommandChanged(m_controls.timerVisible ? TimingButton::Timer : TimingButton::Start);
    m_autoEntry.stop();
    if (m_controls.start.enabled && !m_controls.timerVisible)
        Q_EMIT freeStartBarrierRequested();
    Q_EMIT runProgressed();
}

void RunClock::showLowerRowAfterReset() {
    Q_EMIT displayedTimeChanged(DisplayRow::Lower,
                                m_lapMark == LapMark::NoneSinceStartUp ? m_bestTime : 0);
}

void RunClock::onCountdownEnded() {
    // A pause on a timer instead of a sleep keeps the window responsive; Start still
    // happens only when it is available by then.
    if (!m_countdownEnd.isActive())
        m_countdownEnd.start();
}

qint64 RunClock::notBeforeStart(qint64 stamp) const {
    // A line change stamped before the start (a key start handled late) cannot end or split
    // this run; it counts as happening at the start rather than giving a negative time.
    return qMax(stamp, m_startStamp);
}

qint32 RunClock::elapsedMs() const {
    return clampToInt32((m_ticks.nowMicroseconds() - m_startStamp) / 1000);
}

void RunClock::setState(State state) {
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged(m_state);
}

void RunClock::publish() {
    m_controls.clockRunning = m_clock.isActive();
    if (m_controls == m_published)
        return;
    m_published = m_controls;
    Q_EMIT controlStatesChanged(m_controls);
}
