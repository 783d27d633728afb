#include "mock/RunClockFixture.h"

#include <QSignalSpy>
#include <QTest>

using State = RunClock::State;
using Fixture = RunClockFixture;
using Button = ControlStates::Button;

namespace {

enum class Command { Timer, Start, Lap, Stop, Enter, Reset };

void invoke(RunClock& clock, Command command) {
    switch (command) {
    case Command::Timer:
        clock.beginCountdown();
        break;
    case Command::Start:
        clock.start();
        break;
    case Command::Lap:
        clock.lap();
        break;
    case Command::Stop:
        clock.stop();
        break;
    case Command::Enter:
        clock.enter();
        break;
    case Command::Reset:
        clock.reset();
        break;
    }
}

// The clock's steps of a confirmed settings dialog, in the order the dialog runs them.
void acceptSettings(RunClock& clock, const TimingSettings& settings) {
    clock.takeSettings(settings);
    clock.showSettledTimes();
    clock.showTimerButton();
}

// The control-state table of the timing buttons, with the countdown button visible.
ControlStates expectedControls(State state) {
    const Button face{false, std::nullopt};
    ControlStates c;
    c.timerVisible = true;
    c.lapVisible = true;
    c.timer = face;
    c.start = face;
    c.lap = face;
    c.stop = face;
    c.enter = face;
    c.reset = face;
    c.settingsEnabled = false;
    c.clockRunning = false;
    switch (state) {
    case State::Ready:
        c.timer = Button{true, ControlStates::orange};
        c.start = Button{true, ControlStates::green};
        c.settingsEnabled = true;
        break;
    case State::Countdown:
        c.start = Button{true, ControlStates::green};
        c.clockRunning = true;
        break;
    case State::Running:
        c.lap = Button{true, ControlStates::yellow};
        c.stop = Button{true, ControlStates::red};
        c.clockRunning = true;
        break;
    case State::Stopped:
        c.enter = Button{true, ControlStates::skyBlue};
        c.reset = Button{true, ControlStates::black};
        break;
    }
    return c;
}

} // namespace

Q_DECLARE_METATYPE(Command)

// The run clock's states, stamps and control states, driven by a hand-moved clock.
class TestRunClock : public QObject {
    Q_OBJECT

private:
    RunClockFixture m_fixture;

    RunClock& makeClock(const TimingSettings& settings, qint64 startUs = 1'000'000) {
        return m_fixture.make(settings, startUs);
    }
    FakeTickSource& ticks() { return m_fixture.ticks(); }

    void driveTo(RunClock& clock, State state) {
        switch (state) {
        case State::Ready:
            break;
        case State::Countdown:
            clock.beginCountdown();
            break;
        case State::Running:
            clock.start();
            ticks().advanceMilliseconds(1500);
            break;
        case State::Stopped:
            clock.start();
            ticks().advanceMilliseconds(1500);
            clock.stop();
            break;
        }
        QCOMPARE(clock.state(), state);
    }

private Q_SLOTS:
    void stateTable_data();
    void stateTable();
    void startUpWithoutCountdownHidesTimer();
    void runTimeIsTruncatedToHundredths();
    void runAcrossThe32BitMillisecondWrap();
    void stampDifferenceIsTruncatedNotEachStamp_data();
    void stampDifferenceIsTruncatedNotEachStamp();
    void stampBeforeStartCountsAsStart();
    void clockTickShowsTheClockReading();
    void countdownStartsTheRunByItself();
    void startDuringCountdownPauseStartsOnce();
    void settingsAcceptedInReady();
    void focusAndBarrierRequests();
    void bestTime_data();
    void bestTime();
};

void TestRunClock::stateTable_data() {
    QTest::addColumn<State>("from");
    QTest::addColumn<Command>("command");
    QTest::addColumn<State>("to");
    QTest::addColumn<bool>("acts");

    const struct {
        const char* name;
        State from;
        Command command;
        State to;
        bool acts;
    } rows[] = {
        {"Ready F4", State::Ready, Command::Timer, State::Countdown, true},
        {"Ready F5", State::Ready, Command::Start, State::Running, true},
        {"Ready F6", State::Ready, Command::Lap, State::Ready, false},
        {"Ready F8", State::Ready, Command::Stop, State::Ready, false},
        {"Ready F9", State::Ready, Command::Enter, State::Ready, false},
        {"Ready F10", State::Ready, Command::Reset, State::Ready, false},
        {"Countdown F4", State::Countdown, Command::Timer, State::Countdown, false},
        {"Countdown F5", State::Countdown, Command::Start, State::Running, true},
        {"Countdown F6", State::Countdown, Command::Lap, State::Countdown, false},
        {"Countdown F8", State::Countdown, Command::Stop, State::Countdown, false},
        {"Countdown F9", State::Countdown, Command::Enter, State::Countdown, false},
        {"Countdown F10", State::Countdown, Command::Reset, State::Countdown, false},
        {"Running F4", State::Running, Command::Timer, State::Running, false},
        {"Running F5", State::Running, Command::Start, State::Running, false},
        {"Running F6", State::Running, Command::Lap, State::Running, true},
        {"Running F8", State::Running, Command::Stop, State::Stopped, true},
        {"Running F9", State::Running, Command::Enter, State::Running, false},
        {"Running F10", State::Running, Command::Reset, State::Running, false},
        {"Stopped F4", State::Stopped, Command::Timer, State::Stopped, false},
        {"Stopped F5", State::Stopped, Command::Start, State::Stopped, false},
        {"Stopped F6", State::Stopped, Command::Lap, State::Stopped, false},
        {"Stopped F8", State::Stopped, Command::Stop, State::Stopped, false},
        {"Stopped F9", State::Stopped, Command::Enter, State::Ready, true},
        {"Stopped F10", State::Stopped, Command::Reset, State::Ready, true},
    };
    for (const auto& row : rows)
        QTest::newRow(row.name) << row.from << row.command << row.to << row.acts;
}

void TestRunClock::stateTable() {
    QFETCH(State, from);
    QFETCH(Command, command);
    QFETCH(State, to);
    QFETCH(bool, acts);

    RunClock& clock = makeClock(Fixture::settingsWith(10000, 50));
    QCOMPARE(clock.controlStates(), expectedControls(State::Ready));
    driveTo(clock, from);
    QCOMPARE(clock.controlStates(), expectedControls(from));

    QSignalSpy controls(&clock, &RunClock::controlStatesChanged);
    QSignalSpy shown(&clock, &RunClock::displayedTimeChanged);
    QSignalSpy progressed(&clock, &RunClock::runProgressed);
    const qint64 stampBefore = clock.startStamp();
    invoke(clock, command);

    QCOMPARE(clock.state(), to);
    QCOMPARE(clock.controlStates(), expectedControls(to));
    QCOMPARE(clock.isClockRunning(), expectedControls(to).clockRunning);
    if (!acts) {
        // An unavailable command does nothing at all.
        QCOMPARE(controls.size(), 0);
        QCOMPARE(shown.size(), 0);
        QCOMPARE(progressed.size(), 0);
        QCOMPARE(clock.startStamp(), stampBefore);
    } else {
        QVERIFY(shown.size() + progressed.size() > 0);
        if (from != to)
            QCOMPARE(controls.last().at(0).value<ControlStates>(), expectedControls(to));
    }
}

void TestRunClock::startUpWithoutCountdownHidesTimer() {
    RunClock& clock = makeClock(Fixture::settingsWith(0, 0));
    const ControlStates& c = clock.controlStates();
    QVERIFY(!c.timerVisible);
    QCOMPARE(c.timer, (Button{false, std::nullopt}));
    QVERIFY(!c.lapVisible);
    QVERIFY(!clock.countdownActive());

    QSignalSpy state(&clock, &RunClock::stateChanged);
    clock.beginCountdown();
    QCOMPARE(state.size(), 0);
    QCOMPARE(clock.state(), State::Ready);
}

void TestRunClock::runTimeIsTruncatedToHundredths() {
    RunClock& clock = makeClock(Fixture::settingsWith(0, 50));
    QSignalSpy shown(&clock, &RunClock::displayedTimeChanged);
    clock.start();
    ticks().advanceMilliseconds(12349);
    clock.stop();
    QCOMPARE(clock.runTime(), 12340);
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Upper), 12340);
}

void TestRunClock::runAcrossThe32BitMillisecondWrap() {
    RunClock& clock =
        makeClock(Fixture::settingsWith(0, 50), FakeTickSource::justBelowWrapMicroseconds);
    clock.start();
    ticks().advanceMilliseconds(20);
    clock.stop();
    QCOMPARE(clock.runTime(), 20);
}

void TestRunClock::stampDifferenceIsTruncatedNotEachStamp_data() {
    QTest::addColumn<qint64>("startUs");
    QTest::addColumn<qint64>("stopUs");
    QTest::addColumn<qint32>("runTime");
    // Truncating each stamp to milliseconds first would give 10, 20 and 0 here.
    QTest::newRow("9.001 ms") << qint64(999) << qint64(10'000) << 0;
    QTest::newRow("19.9 ms") << qint64(10'500) << qint64(30'400) << 10;
    QTest::newRow("10.001 ms") << qint64(1'009'999) << qint64(1'020'000) << 10;
    QTest::newRow("exact") << qint64(5'000'000) << qint64(17'345'000) << 12340;
    QTest::newRow("near wrap") << FakeTickSource::justBelowWrapMicroseconds + 999
                               << FakeTickSource::justBelowWrapMicroseconds + 20'998 << 10;
}

void TestRunClock::stampDifferenceIsTruncatedNotEachStamp() {
    QFETCH(qint64, startUs);
    QFETCH(qint64, stopUs);
    QFETCH(qint32, runTime);
    RunClock& clock = makeClock(Fixture::settingsWith(0, 50), startUs - 5000);
    clock.startAt(startUs);
    ticks().setNow(stopUs + 3000);
    clock.stopAt(stopUs);
    QCOMPARE(clock.startStamp(), startUs);
    QCOMPARE(clock.stopStamp(), stopUs);
    QCOMPARE(clock.runTime(), runTime);
}

void TestRunClock::stampBeforeStartCountsAsStart() {
    RunClock& clock = makeClock(Fixture::settingsWith(0, 50));
    clock.start();
    const qint64 start = clock.startStamp();
    ticks().advanceMilliseconds(40);
    clock.lapAt(start - 30'000);
    QCOMPARE(clock.intermediateTime(), std::optional<qint32>(0));
    clock.stopAt(start - 20'000);
    QCOMPARE(clock.stopStamp(), start);
    QCOMPARE(clock.runTime(), 0);
}

void TestRunClock::clockTickShowsTheClockReading() {
    RunClock& clock = makeClock(Fixture::settingsWith(0, 50));
    QSignalSpy shown(&clock, &RunClock::displayedTimeChanged);
    clock.clockTick(); // not running: nothing to show
    QCOMPARE(shown.size(), 0);
    clock.start();
    ticks().advanceMicroseconds(1'234'567);
    clock.clockTick();
    clock.clockTick();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0).at(1).toInt(), 1234);
    QCOMPARE(shown.at(1).at(1).toInt(), 1234);
    ticks().advanceMilliseconds(5000);
    clock.clockTick();
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Upper), 6234);
}

void TestRunClock::countdownStartsTheRunByItself() {
    RunClock& clock = makeClock(Fixture::settingsWith(10000, 50));
    QVERIFY(clock.countdownActive());
    QSignalSpy recolour(&clock, &RunClock::displayModeChanged);
    clock.beginCountdown();
    const qint64 countdownStamp = clock.startStamp();
    ticks().advanceMilliseconds(9999);
    clock.clockTick();
    QTest::qWait(60);
    QCOMPARE(clock.state(), State::Countdown);

    ticks().advanceMilliseconds(1);
    clock.clockTick(); // nothing left of the countdown
    QCOMPARE(clock.state(), State::Countdown);
    ticks().advanceMilliseconds(20);
    QTRY_COMPARE(clock.state(), State::Running);
    QCOMPARE(clock.startStamp(), countdownStamp + 10'020'000);
    QVERIFY(!clock.countdownActive());
    QCOMPARE(recolour.size(), 1); // the countdown colour gives way to the run colour
}

void TestRunClock::startDuringCountdownPauseStartsOnce() {
    RunClock& clock = makeClock(Fixture::settingsWith(500, 50));
    clock.beginCountdown();
    ticks().advanceMilliseconds(600);
    clock.clockTick();
    clock.clockTick();
    QSignalSpy state(&clock, &RunClock::stateChanged);
    clock.start();
    const qint64 started = clock.startStamp();
    ticks().advanceMilliseconds(100);
    QTest::qWait(80);
    QCOMPARE(state.size(), 1);
    QCOMPARE(clock.startStamp(), started);
}

void TestRunClock::settingsAcceptedInReady() {
    RunClock& clock = makeClock(Fixture::settingsWith(10000, 50));
    QSignalSpy next(&clock, &RunClock::nextCommandChanged);
    QSignalSpy shown(&clock, &RunClock::displayedTimeChanged);
    acceptSettings(clock, Fixture::settingsWith(0, 0));
    const ControlStates& c = clock.controlStates();
    QVERIFY(!c.timerVisible);
    QCOMPARE(c.timer, (Button{false, std::nullopt}));
    QVERIFY(!c.lapVisible);
    QVERIFY(!clock.countdownActive());
    QCOMPARE(next.last().at(0).value<TimingButton>(), TimingButton::Start);
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), RunClock::noBestTime);

    acceptSettings(clock, Fixture::settingsWith(2500, 20));
    QVERIFY(clock.controlStates().timerVisible);
    QCOMPARE(clock.controlStates().timer, (Button{true, ControlStates::orange}));
    QCOMPARE(next.last().at(0).value<TimingButton>(), TimingButton::Timer);
    QVERIFY(clock.countdownActive());
    QCOMPARE(clock.timerMs(), 2500);

    // A run started meanwhile keeps running as a run, not as a countdown.
    clock.start();
    acceptSettings(clock, Fixture::settingsWith(4000, 20));
    QVERIFY(!clock.countdownActive());
    QCOMPARE(clock.state(), State::Running);
    clock.stop();
    clock.reset();
    QVERIFY(clock.countdownActive());
    QCOMPARE(clock.timerMs(), 4000);
}

void TestRunClock::focusAndBarrierRequests() {
    RunClock& clock = makeClock(Fixture::settingsWith(0, 50));
    QSignalSpy next(&clock, &RunClock::nextCommandChanged);
    QSignalSpy blockStart(&clock, &RunClock::blockStartBarrierRequested);
    QSignalSpy stopLock(&clock, &RunClock::stopLockRestartRequested);
    QSignalSpy blockStop(&clock, &RunClock::blockStopBarrierRequested);
    QSignalSpy freeStart(&clock, &RunClock::freeStartBarrierRequested);
    QSignalSpy capture(&clock, &RunClock::runStarted);

    clock.startAt(2'000'500);
    QCOMPARE(blockStart.size(), 1);
    QCOMPARE(blockStart.at(0).at(0).toLongLong(), 2'000'500);
    QCOMPARE(stopLock.at(0).at(0).toLongLong(), 2'000'500);
    QCOMPARE(capture.size(), 1);
    QCOMPARE(next.last().at(0).value<TimingButton>(), TimingButton::Stop);

    ticks().setNow(9'000'000);
    clock.stopAt(8'000'000);
    QCOMPARE(blockStop.at(0).at(0).toLongLong(), 8'000'000);
    QCOMPARE(next.last().at(0).value<TimingButton>(), TimingButton::Enter);

    // Without the countdown button the reset frees the start barrier.
    clock.reset();
    QCOMPARE(freeStart.size(), 1);
    QCOMPARE(next.last().at(0).value<TimingButton>(), TimingButton::Start);
}

void TestRunClock::bestTime_data() {
    QTest::addColumn<qint32>("best");
    QTest::addColumn<qint32>("run");
    QTest::addColumn<qint32>("after");
    QTest::newRow("first run") << 2147483647 << 12340 << 12340;
    QTest::newRow("faster") << 12340 << 12330 << 12330;
    QTest::newRow("equal") << 12340 << 12340 << 12340;
    QTest::newRow("slower") << 12340 << 15000 << 12340;
    QTest::newRow("zero run") << 2147483647 << 0 << 2147483647;
    QTest::newRow("negative") << 12340 << -10 << 12340;
}

void TestRunClock::bestTime() {
    QFETCH(qint32, best);
    QFETCH(qint32, run);
    QFETCH(qint32, after);
    QCOMPARE(RunClock::bestTimeAfter(best, run), after);
}

QTEST_GUILESS_MAIN(TestRunClock)
#include "tst_runclock.moc"
