#include "mock/RunClockFixture.h"

#include <QSignalSpy>
#include <QTest>

using State = RunClock::State;
using Fixture = RunClockFixture;

// What the run clock shows and hands on after a run: the speed, the best time, the
// intermediate time and the automatic entry.
class TestRunClockResults : public QObject {
    Q_OBJECT

private:
    RunClockFixture m_fixture;

    RunClock& makeClock(const TimingSettings& settings, qint64 startUs = 1'000'000) {
        return m_fixture.make(settings, startUs);
    }
    FakeTickSource& ticks() { return m_fixture.ticks(); }

private Q_SLOTS:
    void speedFromLastSection();
    void noSpeedWithoutIntermediateSignalInThisRun();
    void speedRounding_data();
    void speedRounding();
    void hiddenIntermediateButtonStillTakesSplits();
    void bestTimeShowsUntilFirstIntermediateSignal();
    void clearBestTime();
    void autoEntryAfterFiveSecondsOnce();
    void resetCancelsAutoEntry();
    void intermediateTimeForTv();
};

void TestRunClockResults::speedFromLastSection() {
    RunClock& clock = makeClock(Fixture::settingsWith(0, 50));
    QSignalSpy shown(&clock, &RunClock::displayedTimeChanged);
    clock.start();
    ticks().advanceMilliseconds(4000);
    clock.lap();
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), 4000);
    ticks().advanceMilliseconds(1800);
    clock.stop();
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), 100000);
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Upper), 5800);
}
void TestRunClockResults::noSpeedWithoutIntermediateSignalInThisRun() {
    RunClock& clock = makeClock(Fixture::settingsWith(0, 50));
    QSignalSpy shown(&clock, &RunClock::displayedTimeChanged);
    // Before any intermediate signal since start-up.
    clock.start();
    ticks().advanceMilliseconds(3000);
    clock.stop();
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), 0);
    clock.reset();

    // A split in one run does not give the next run a speed.
    clock.start();
    ticks().advanceMilliseconds(1000);
    clock.lap();
    ticks().advanceMilliseconds(1000);
    clock.stop();
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), 180000);
    clock.reset();
    clock.start();
    ticks().advanceMilliseconds(2000);
    clock.stop();
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), 0);
    clock.reset();

    // A split at the moment of the stop spans no time.
    clock.start();
    ticks().advanceMilliseconds(2000);
    clock.lap();
    ticks().advanceMicroseconds(9'999);
    clock.stop();
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), 0);
}
void TestRunClockResults::speedRounding_data() {
    QTest::addColumn<qint32>("length");
    QTest::addColumn<qint32>("spanMs");
    QTest::addColumn<std::optional<qint32>>("speed");
    QTest::newRow("100 km/h") << 50 << 1800 << std::optional<qint32>(100000);
    QTest::newRow("4.5 to even") << 1 << 800000 << std::optional<qint32>(4);
    QTest::newRow("7.5 to even") << 1 << 480000 << std::optional<qint32>(8);
    QTest::newRow("longest section") << 9999 << 10 << std::optional<qint32>(2147483646);
    QTest::newRow("no span") << 50 << 0 << std::optional<qint32>();
    QTest::newRow("no length") << 0 << 1800 << std::optional<qint32>();
}
void TestRunClockResults::speedRounding() {
    QFETCH(qint32, length);
    QFETCH(qint32, spanMs);
    QFETCH(std::optional<qint32>, speed);
    QCOMPARE(RunClock::speed(length, spanMs), speed);
}
void TestRunClockResults::hiddenIntermediateButtonStillTakesSplits() {
    RunClock& clock = makeClock(Fixture::settingsWith(0, 0));
    QVERIFY(!clock.controlStates().lapVisible);
    QSignalSpy shown(&clock, &RunClock::displayedTimeChanged);
    clock.start();
    QVERIFY(clock.isAvailable(TimingButton::Lap));
    ticks().advanceMilliseconds(2345);
    clock.lap();
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), 2340);
    const auto before = shown.size();
    ticks().advanceMilliseconds(1000);
    clock.stop();
    // Only the upper row: no length, no speed.
    QCOMPARE(shown.size(), before + 1);
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), 2340);
}
void TestRunClockResults::bestTimeShowsUntilFirstIntermediateSignal() {
    RunClock& clock = makeClock(Fixture::settingsWith(0, 50));
    QSignalSpy shown(&clock, &RunClock::displayedTimeChanged);
    QSignalSpy entered(&clock, &RunClock::runEntered);
    QCOMPARE(clock.bestTime(), RunClock::noBestTime);
    QCOMPARE(clock.lapMark(), RunClock::LapMark::NoneSinceStartUp);

    auto run = [&](qint32 ms, bool withLap) {
        clock.start();
        if (withLap) {
            ticks().advanceMilliseconds(ms / 2);
            clock.lap();
            ticks().advanceMilliseconds(ms - ms / 2);
        } else {
            ticks().advanceMilliseconds(ms);
        }
        clock.stop();
        clock.enter();
    };

    run(12345, false);
    QCOMPARE(entered.last().at(0).toInt(), 12340);
    QCOMPARE(clock.bestTime(), 12340);
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), 12340);

    run(13000, false);
    QCOMPARE(clock.bestTime(), 12340);
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), 12340);

    run(5, false); // a zero run is never the best time
    QCOMPARE(entered.last().at(0).toInt(), 0);
    QCOMPARE(clock.bestTime(), 12340);

    run(11000, true);
    QCOMPARE(clock.bestTime(), 11000);
    QCOMPARE(clock.lapMark(), RunClock::LapMark::Cleared);
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), 0);

    run(10000, false);
    QCOMPARE(clock.bestTime(), 10000);
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), 0);
}
void TestRunClockResults::clearBestTime() {
    RunClock& clock = makeClock(Fixture::settingsWith(0, 50));
    clock.start();
    ticks().advanceMilliseconds(9000);
    clock.stop();
    clock.enter();
    QCOMPARE(clock.bestTime(), 9000);
    QSignalSpy shown(&clock, &RunClock::displayedTimeChanged);
    clock.clearBestTime();
    QCOMPARE(clock.bestTime(), RunClock::noBestTime);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(Fixture::lastShown(shown, DisplayRow::Lower), 0);
}
void TestRunClockResults::autoEntryAfterFiveSecondsOnce() {
    RunClock& clock = makeClock(Fixture::settingsWith(0, 50, true));
    QVERIFY(clock.autoEntry());
    QSignalSpy entered(&clock, &RunClock::runEntered);
    clock.start();
    ticks().advanceMilliseconds(7770);
    clock.stop();
    QVERIFY(clock.isAutoEntryPending());
    QTest::qWait(4500);
    QCOMPARE(entered.size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(entered.size(), 1, 2000);
    QCOMPARE(entered.at(0).at(0).toInt(), 7770);
    QCOMPARE(clock.state(), State::Ready);
    QTest::qWait(200);
    QCOMPARE(entered.size(), 1);

    // A manual entry within the five seconds enters once.
    clock.start();
    ticks().advanceMilliseconds(1000);
    clock.stop();
    clock.enter();
    QVERIFY(!clock.isAutoEntryPending());
    QCOMPARE(entered.size(), 2);
}
void TestRunClockResults::resetCancelsAutoEntry() {
    RunClock& clock = makeClock(Fixture::settingsWith(0, 50, true));
    QSignalSpy entered(&clock, &RunClock::runEntered);
    clock.start();
    clock.stop();
    QVERIFY(clock.isAutoEntryPending());
    clock.reset();
    QVERIFY(!clock.isAutoEntryPending());
    QCOMPARE(clock.state(), State::Ready);
    QCOMPARE(entered.size(), 0);

    clock.setAutoEntry(false);
    clock.start();
    clock.stop();
    QVERIFY(!clock.isAutoEntryPending());
}
void TestRunClockResults::intermediateTimeForTv() {
    RunClock& clock = makeClock(Fixture::settingsWith(0, 50));
    QCOMPARE(clock.intermediateTime(), std::nullopt);
    clock.start();
    ticks().advanceMicroseconds(3'456'789);
    clock.lap();
    QCOMPARE(clock.intermediateTime(), std::optional<qint32>(3450));
    clock.stop();
    QCOMPARE(clock.intermediateTime(), std::optional<qint32>(3450));
    clock.reset();
    QCOMPARE(clock.intermediateTime(), std::nullopt);
}

QTEST_GUILESS_MAIN(TestRunClockResults)
#include "tst_runclockresults.moc"
