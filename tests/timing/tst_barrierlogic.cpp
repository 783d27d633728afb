#include "mock/FakeTickSource.h"
#include "timing/BarrierLogic.h"
#include "timing/RunClock.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using State = RunClock::State;

namespace {

constexpr quint32 CTS = BarrierLogic::stopLineBit;
constexpr quint32 DSR = BarrierLogic::startLineBit;
constexpr quint32 RLSD = BarrierLogic::lapLineBit;

} // namespace

// Light-barrier line events, the free/blocked flags and the lock timers.
class TestBarrierLogic : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeTickSource> m_ticks;
    std::unique_ptr<RunClock> m_clock;
    std::unique_ptr<BarrierLogic> m_barriers;

    quint32 m_levels = 0;

    qint64 now() const { return m_ticks->nowMicroseconds(); }

    // The lines go to these levels (modem-status bits) in one change at the stamp.
    void lines(quint32 levels, qint64 stamp) {
        quint32 changed = 0;
        for (const auto& [line, event] : {std::pair{CTS, BarrierLogic::stopEventBit},
                                          std::pair{DSR, BarrierLogic::startEventBit},
                                          std::pair{RLSD, BarrierLogic::lapEventBit}}) {
            if ((levels ^ m_levels) & line)
                changed |= event;
        }
        m_levels = levels;
        m_barriers->portLinesChanged(changed, levels, stamp);
    }

    // A clock without countdown and a barrier logic on an open port, start barrier freed.
    BarrierLogic& setUp(int alg = 0, qint32 lockTimeMs = 5000, qint32 timerMs = 0,
                        qint32 lengthMetres = 50) {
        m_barriers.reset();
        m_clock.reset();
        m_levels = 0;
        m_ticks = std::make_unique<FakeTickSource>(FakeTickSource::justBelowWrapMicroseconds);
        m_clock = std::make_unique<RunClock>(*m_ticks);
        m_barriers = std::make_unique<BarrierLogic>(*m_clock);
        TimingSettings settings;
        settings.timerMs = timerMs;
        settings.lengthMetres = lengthMetres;
        settings.autoReset = false;
        settings.alg = alg;
        settings.lockTimeMs = lockTimeMs;
        m_barriers->applySettings(settings);
        m_clock->startUp(settings);
        m_barriers->portOpened();
        m_barriers->toggleBarrierLock(0);
        return *m_barriers;
    }

private Q_SLOTS:
    void initialState();
    void alg0StartsOnLineOn();
    void repeatedStatusActsOnce();
    void stopLockIgnoresEarlyStop();
    void stopLockExpiryFreesStopBarrier();
    void lineChangeFromInsideLockHandledLateIsIgnored();
    void lockTimeZeroKeepsStopBlocked();
    void commandsCarryTheEventStamp();
    void lockCommandsNeedOpenPort();
    void portOpenShowsIntermediateOnlyWithLength();
    void cycleWithoutCountdown();
    void countdownFreesStartBarrier();
    void intermediatePictureFollowsRun();
    void waitStartOnlyAboveZero();
};

void TestBarrierLogic::initialState() {
    FakeTickSource ticks;
    RunClock clock(ticks);
    BarrierLogic barriers(clock);
    QCOMPARE(barriers.lastModemStatus(), quint32(0x55555555));
    for (auto b : {LightBarrier::Start, LightBarrier::Intermediate, LightBarrier::Stop}) {
        QVERIFY(!barriers.isFree(b));
        QCOMPARE(barriers.picture(b), BarrierLogic::blockedPicture);
        QVERIFY(!barriers.isImageVisible(b));
    }
    QVERIFY(!barriers.lockCommandsEnabled());
    QVERIFY(!barriers.isStartLockRunning());
    QVERIFY(!barriers.isStopLockRunning());
    QCOMPARE(barriers.waitStartMs(), 5000);
}

void TestBarrierLogic::alg0StartsOnLineOn() {
    BarrierLogic& barriers = setUp(0);
    QVERIFY(barriers.isFree(LightBarrier::Start));
    QSignalSpy state(m_clock.get(), &RunClock::stateChanged);
    const qint64 stamp = now();
    lines(DSR, stamp);
    QCOMPARE(m_clock->state(), State::Running);
    QCOMPARE(m_clock->startStamp(), stamp);
    QVERIFY(!barriers.isFree(LightBarrier::Start));
    QVERIFY(barriers.isStartLockRunning());
    lines(0, now() + 100'000);
    QCOMPARE(state.size(), 1);
    QCOMPARE(barriers.lastModemStatus(), quint32(0));
}

void TestBarrierLogic::repeatedStatusActsOnce() {
    BarrierLogic& barriers = setUp(0);
    barriers.toggleBarrier(LightBarrier::Intermediate);
    m_clock->start();
    QSignalSpy shown(m_clock.get(), &RunClock::displayedTimeChanged);
    m_ticks->advanceMilliseconds(1000);
    const qint64 stamp = now();
    // The same change reported twice.
    const quint32 changed = BarrierLogic::lapEventBit | BarrierLogic::stopEventBit;
    barriers.portLinesChanged(changed, RLSD | CTS, stamp);
    m_ticks->advanceMilliseconds(50);
    barriers.portLinesChanged(changed, RLSD | CTS, now());
    QCOMPARE(shown.size(), 1);
    QCOMPARE(m_clock->lapStamp(), std::optional<qint64>(stamp));
}

void TestBarrierLogic::stopLockIgnoresEarlyStop() {
    BarrierLogic& barriers = setUp(0, 5000);
    m_clock->start();
    const qint64 start = m_clock->startStamp();
    QVERIFY(barriers.isStopLockRunning());
    m_ticks->advanceMilliseconds(1000);
    lines(CTS, now());
    QCOMPARE(m_clock->state(), State::Running);
    lines(0, now());

    // The next change comes after the lock time; the window has not yet seen the timer run
    // out, the stamp says the lock is over.
    m_ticks->setNow(start + 5'000'000);
    lines(CTS, now());
    QCOMPARE(m_clock->state(), State::Stopped);
    QCOMPARE(m_clock->runTime(), 5000);
    QVERIFY(!barriers.isFree(LightBarrier::Stop));
}

void TestBarrierLogic::stopLockExpiryFreesStopBarrier() {
    BarrierLogic& barriers = setUp(0, 60);
    QSignalSpy pictures(&barriers, &BarrierLogic::pictureChanged);
    m_clock->start();
    QVERIFY(!barriers.isFree(LightBarrier::Stop));
    QTRY_VERIFY(barriers.isFree(LightBarrier::Stop));
    QVERIFY(!barriers.isStopLockRunning());
    QCOMPARE(barriers.picture(LightBarrier::Stop), BarrierLogic::freePicture);
    QVERIFY(pictures.contains(
        QVariantList{QVariant::fromValue(LightBarrier::Stop), BarrierLogic::freePicture}));
    m_ticks->advanceMilliseconds(8000);
    lines(CTS, now());
    QCOMPARE(m_clock->state(), State::Stopped);
    QCOMPARE(m_clock->runTime(), 8000);
}

void TestBarrierLogic::lineChangeFromInsideLockHandledLateIsIgnored() {
    BarrierLogic& barriers = setUp(0, 60);
    m_clock->start();
    const qint64 start = m_clock->startStamp();
    QTRY_VERIFY(barriers.isFree(LightBarrier::Stop));
    // A line change 30 ms after the start reaches the logic only after the lock ran out.
    m_ticks->advanceMilliseconds(200);
    lines(CTS, start + 30'000);
    QCOMPARE(m_clock->state(), State::Running);
}

void TestBarrierLogic::lockTimeZeroKeepsStopBlocked() {
    BarrierLogic& barriers = setUp(0, 0);
    m_clock->start();
    QVERIFY(!barriers.isStopLockRunning());
    QTest::qWait(50);
    m_ticks->advanceMilliseconds(60'000);
    lines(CTS, now());
    QCOMPARE(m_clock->state(), State::Running);
    QVERIFY(!barriers.isFree(LightBarrier::Stop));

    barriers.toggleBarrierLock(1);
    QVERIFY(barriers.isFree(LightBarrier::Stop));
    lines(0, now());
    lines(CTS, now());
    QCOMPARE(m_clock->state(), State::Stopped);
}

void TestBarrierLogic::commandsCarryTheEventStamp() {
    BarrierLogic& barriers = setUp(0, 5000);
    barriers.toggleBarrier(LightBarrier::Intermediate);
    const qint64 start = now() + 123;
    m_ticks->advanceMilliseconds(40); // the window handles the event late
    lines(DSR, start);
    QCOMPARE(m_clock->startStamp(), start);
    lines(RLSD, start + 2'345'678);
    QCOMPARE(m_clock->intermediateTime(), std::optional<qint32>(2340));
    m_ticks->setNow(start + 9'000'000);
    lines(RLSD | CTS, start + 7'000'009);
    QCOMPARE(m_clock->stopStamp(), start + 7'000'009);
    QCOMPARE(m_clock->runTime(), 7000);
}

void TestBarrierLogic::lockCommandsNeedOpenPort() {
    BarrierLogic& barriers = setUp(0);
    QSignalSpy available(&barriers, &BarrierLogic::lockCommandsEnabledChanged);
    barriers.portClosed();
    QCOMPARE(available.size(), 1);
    QVERIFY(!barriers.lockCommandsEnabled());
    for (auto b : {LightBarrier::Start, LightBarrier::Intermediate, LightBarrier::Stop})
        QVERIFY(!barriers.isImageVisible(b));
    const bool startFree = barriers.isFree(LightBarrier::Start);
    barriers.toggleBarrierLock(0);
    barriers.toggleBarrierLock(1);
    barriers.barrierPictureClicked(LightBarrier::Start);
    QCOMPARE(barriers.isFree(LightBarrier::Start), startFree);
    QVERIFY(!barriers.isFree(LightBarrier::Stop));

    barriers.portOpened();
    QVERIFY(barriers.lockCommandsEnabled());
    barriers.toggleBarrierLock(1);
    QVERIFY(barriers.isFree(LightBarrier::Stop));
    barriers.toggleBarrierLock(2); // no such barrier
    QVERIFY(barriers.isFree(LightBarrier::Stop));
    QCOMPARE(barriers.isFree(LightBarrier::Start), startFree);
}

void TestBarrierLogic::portOpenShowsIntermediateOnlyWithLength() {
    BarrierLogic& barriers = setUp(0, 5000, 0, 0);
    QVERIFY(barriers.isImageVisible(LightBarrier::Start));
    QVERIFY(barriers.isImageVisible(LightBarrier::Stop));
    QVERIFY(!barriers.isImageVisible(LightBarrier::Intermediate));
    barriers.barrierPictureClicked(LightBarrier::Intermediate);
    QVERIFY(!barriers.isFree(LightBarrier::Intermediate));

    BarrierLogic& withLength = setUp(0, 5000, 0, 50);
    QVERIFY(withLength.isImageVisible(LightBarrier::Intermediate));
    withLength.portClosed();
    QVERIFY(!withLength.isImageVisible(LightBarrier::Intermediate));
}

void TestBarrierLogic::cycleWithoutCountdown() {
    BarrierLogic& barriers = setUp(0, 60);
    lines(DSR, now());
    QVERIFY(!barriers.isFree(LightBarrier::Start));
    QTRY_VERIFY(barriers.isFree(LightBarrier::Stop));
    m_ticks->advanceMilliseconds(3000);
    lines(CTS, now());
    QCOMPARE(m_clock->state(), State::Stopped);
    QVERIFY(!barriers.isFree(LightBarrier::Stop));
    QVERIFY(!barriers.isStartLockRunning());
    m_clock->reset();
    QVERIFY(barriers.isFree(LightBarrier::Start));
    QVERIFY(!barriers.isFree(LightBarrier::Stop));
    // The stop lock that ran out after the stop does not free the stop barrier.
    QTest::qWait(120);
    QVERIFY(!barriers.isFree(LightBarrier::Stop));
}

void TestBarrierLogic::countdownFreesStartBarrier() {
    BarrierLogic& barriers = setUp(0, 5000, 10000);
    barriers.toggleBarrierLock(0); // blocked again
    m_clock->start();
    m_clock->stop();
    m_clock->reset();
    // With the countdown button shown, the reset leaves the start barrier blocked...
    QVERIFY(!barriers.isFree(LightBarrier::Start));
    // ...and the countdown frees it.
    m_clock->beginCountdown();
    QVERIFY(barriers.isFree(LightBarrier::Start));
    lines(DSR, now());
    QCOMPARE(m_clock->state(), State::Running);
}

void TestBarrierLogic::intermediatePictureFollowsRun() {
    BarrierLogic& barriers = setUp(0);
    QVERIFY(!barriers.isFree(LightBarrier::Intermediate));
    m_clock->start();
    QCOMPARE(barriers.picture(LightBarrier::Intermediate), BarrierLogic::freePicture);
    QVERIFY(!barriers.isFree(LightBarrier::Intermediate));
    lines(RLSD, now());
    QCOMPARE(m_clock->lapStamp(), std::nullopt);
    m_clock->stop();
    QCOMPARE(barriers.picture(LightBarrier::Intermediate), BarrierLogic::blockedPicture);
    barriers.barrierPictureClicked(LightBarrier::Intermediate);
    QVERIFY(barriers.isFree(LightBarrier::Intermediate));
    QCOMPARE(barriers.picture(LightBarrier::Intermediate), BarrierLogic::freePicture);
}

void TestBarrierLogic::waitStartOnlyAboveZero() {
    BarrierLogic& barriers = setUp(0);
    TimingSettings settings;
    settings.waitStartMs = 0;
    barriers.applySettings(settings);
    QCOMPARE(barriers.waitStartMs(), 5000);
    settings.waitStartMs = 1200;
    barriers.applySettings(settings);
    QCOMPARE(barriers.waitStartMs(), 1200);
}

QTEST_GUILESS_MAIN(TestBarrierLogic)
#include "tst_barrierlogic.moc"
