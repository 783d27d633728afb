#include "mock/FakeSerialSystem.h"
#include "mock/FakeTickSource.h"
#include "timing/BackupStopLogic.h"
#include "timing/BarrierLogic.h"
#include "timing/RunClock.h"
#include "timing/SerialPort.h"

#include <QSignalSpy>
#include <QTest>

#include <sys/ioctl.h>

namespace {

// One scripted change of the RI contact, in ms after the start.
struct RingStep {
    int atMs = 0;
    bool pulse = false;
    bool on = false;
};
using RingSteps = QList<RingStep>;

constexpr qint64 StartMicroseconds = 10'000'000;
constexpr int BackupLockMs = 1000;

} // namespace

Q_DECLARE_METATYPE(RingSteps)

// System B on the ring-indicator line of the fake adapter: the same edge and contact-logic
// rules as the other barriers, a lock of its own from each start, one B stop per run.
class TestBackupStop : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ringEdges_data();
    void ringEdges();
    void bothStopsGiveTheDifference();
    void notFinishedEndsTheRun();

private:
    struct Rig {
        Rig(int alg, bool backupLine, bool ringOn)
            : ticks(std::make_shared<FakeTickSource>(1'000'000)),
              system(
                  std::make_shared<FakeSerialSystem>([t = ticks] { return t->nowMicroseconds(); })),
              device(system->addDevice(QStringLiteral("/dev/ttyUSB0"))), clock(*ticks),
              barriers(clock), port(system, [t = ticks] { return t->nowMicroseconds(); }) {
            TimingSettings settings;
            settings.timerMs = 0;
            settings.alg = alg;
            settings.lockTimeMs = BackupLockMs;
            settings.backupLine = backupLine;
            settings.backupLockTimeMs = BackupLockMs;
            clock.startUp(settings);
            barriers.applySettings(settings);
            device->setLevels(TIOCM_RNG, ringOn ? TIOCM_RNG : 0);
            port.setPort(1);
            port.setEvents({SerialPort::LineEvent::evCTS, SerialPort::LineEvent::evDSR,
                            SerialPort::LineEvent::evRLSD, SerialPort::LineEvent::evRing});
            QObject::connect(&port, &SerialPort::lineEvent, &barriers,
                             &BarrierLogic::portLinesChanged);
            port.open();
        }
        // Sets the clock, changes the lines and waits until the change has been handled.
        void step(qint64 at, const std::function<void()>& change, QSignalSpy& lines) {
            const qsizetype before = lines.size();
            ticks->setNow(at);
            change();
            QVERIFY(QTest::qWaitFor([&] { return lines.size() > before; }));
        }
        std::shared_ptr<FakeTickSource> ticks;
        std::shared_ptr<FakeSerialSystem> system;
        std::shared_ptr<FakeLineDevice> device;
        RunClock clock;
        BarrierLogic barriers;
        SerialPort port;
    };
};

void TestBackupStop::ringEdges_data() {
    QTest::addColumn<int>("alg");
    QTest::addColumn<bool>("backupLine");
    QTest::addColumn<bool>("ringOn");
    QTest::addColumn<RingSteps>("steps");
    QTest::addColumn<int>("expectedMs"); // -1: no B stop

    QTest::newRow("Ein: closes after the lock")
        << 0 << true << false << RingSteps{{1500, false, true}} << 1500;
    QTest::newRow("Ein: closes within the lock, again after it")
        << 0 << true << false
        << RingSteps{{500, false, true}, {800, false, false}, {1500, false, true}} << 1500;
    QTest::newRow("Ein: opening does nothing")
        << 0 << true << true << RingSteps{{1500, false, false}} << -1;
    QTest::newRow("Ein: a press between two looks")
        << 0 << true << false << RingSteps{{1500, true, false}} << 1500;
    QTest::newRow("Ein: the first B stop of a run counts")
        << 0 << true << false
        << RingSteps{{1500, false, true}, {1600, false, false}, {1700, false, true}} << 1500;
    QTest::newRow("Aus: opens after the lock")
        << 1 << true << true << RingSteps{{1500, false, false}} << 1500;
    QTest::newRow("Aus: closing does nothing")
        << 1 << true << false << RingSteps{{1500, false, true}} << -1;
    QTest::newRow("Aus: opens within the lock only")
        << 1 << true << true << RingSteps{{900, false, false}} << -1;
    QTest::newRow("B line off") << 0 << false << false << RingSteps{{1500, false, true}} << -1;
    QTest::newRow("Alg 2 never acts") << 2 << true << false << RingSteps{{1500, false, true}} << -1;
}

void TestBackupStop::ringEdges() {
    QFETCH(int, alg);
    QFETCH(bool, backupLine);
    QFETCH(bool, ringOn);
    QFETCH(RingSteps, steps);
    QFETCH(int, expectedMs);
    Rig rig(alg, backupLine, ringOn);
    QSignalSpy lines(&rig.port, &SerialPort::lineEvent);
    QSignalSpy taken(&rig.barriers.backupStop(), &BackupStopLogic::backupStopTaken);
    QVERIFY(QTest::qWaitFor([&] { return rig.device->isWaiting(); }));
    rig.ticks->setNow(StartMicroseconds);
    rig.clock.start();
    QCOMPARE(rig.clock.state(), RunClock::State::Running);

    for (const RingStep& s : steps) {
        rig.step(
            StartMicroseconds + s.atMs * 1000,
            [&] {
                if (s.pulse)
                    rig.device->pulse(TIOCM_RNG);
                else
                    rig.device->setLevels(TIOCM_RNG, s.on ? TIOCM_RNG : 0);
            },
            lines);
    }
    // System B never stops the clock itself.
    QCOMPARE(rig.clock.state(), RunClock::State::Running);
    const std::optional<RunStops> run = rig.barriers.backupStop().currentRun();
    QVERIFY(run);
    if (expectedMs < 0) {
        QCOMPARE(taken.size(), 0);
        QVERIFY(!run->stopB);
    } else {
        QCOMPARE(taken.size(), 1);
        QCOMPARE(taken.at(0).at(0).toLongLong(), StartMicroseconds);
        QCOMPARE(run->stopB, std::optional<qint64>(StartMicroseconds + expectedMs * 1000));
    }
}

void TestBackupStop::bothStopsGiveTheDifference() {
    Rig rig(0, true, false);
    QSignalSpy lines(&rig.port, &SerialPort::lineEvent);
    QSignalSpy known(&rig.barriers.backupStop(), &BackupStopLogic::differenceKnown);
    QVERIFY(QTest::qWaitFor([&] { return rig.device->isWaiting(); }));
    rig.ticks->setNow(StartMicroseconds);
    rig.clock.start();
    // B before A, as a hand push button often is; then the stop barrier stops the run.
    rig.step(
        StartMicroseconds + 31'450'000, [&] { rig.device->setLevels(TIOCM_RNG, TIOCM_RNG); },
        lines);
    QCOMPARE(known.size(), 0);
    rig.step(
        StartMicroseconds + 31'462'500, [&] { rig.device->setLevels(TIOCM_CTS, TIOCM_CTS); },
        lines);
    QCOMPARE(rig.clock.state(), RunClock::State::Stopped);
    QCOMPARE(known.size(), 1);
    const auto run = known.at(0).at(0).value<RunStops>();
    QCOMPARE(run.differenceMicroseconds(), std::optional<qint64>(12'500));

    // The entry ends the run; a stop by key gives no A stop to compare.
    rig.clock.enter();
    rig.ticks->setNow(StartMicroseconds + 60'000'000);
    rig.clock.start();
    rig.step(
        StartMicroseconds + 90'000'000, [&] { rig.device->setLevels(TIOCM_RNG, 0); }, lines);
    rig.step(
        StartMicroseconds + 90'500'000, [&] { rig.device->setLevels(TIOCM_RNG, TIOCM_RNG); },
        lines);
    rig.clock.stop();
    QCOMPARE(known.size(), 1);
    rig.clock.enter();
    const QList<RunStops>& runs = rig.barriers.backupStop().finishedRuns();
    QCOMPARE(runs.size(), 2);
    QCOMPARE(runs.at(0).differenceMicroseconds(), std::optional<qint64>(12'500));
    QVERIFY(runs.at(1).stopB);
    QVERIFY(!runs.at(1).stopA);
}

void TestBackupStop::notFinishedEndsTheRun() {
    Rig rig(0, true, false);
    QSignalSpy lines(&rig.port, &SerialPort::lineEvent);
    QSignalSpy taken(&rig.barriers.backupStop(), &BackupStopLogic::backupStopTaken);
    QVERIFY(QTest::qWaitFor([&] { return rig.device->isWaiting(); }));
    rig.ticks->setNow(StartMicroseconds);
    rig.clock.start();
    rig.ticks->setNow(StartMicroseconds + 20'000'000);
    rig.clock.notFinished();
    // A late B impulse belongs to no run: the one marked "DNF" is over.
    rig.step(
        StartMicroseconds + 25'000'000, [&] { rig.device->setLevels(TIOCM_RNG, TIOCM_RNG); },
        lines);
    QCOMPARE(taken.size(), 0);
    QVERIFY(!rig.barriers.backupStop().currentRun());
    const QList<RunStops>& runs = rig.barriers.backupStop().finishedRuns();
    QCOMPARE(runs.size(), 1);
    QVERIFY(!runs.at(0).stopB);
}

QTEST_GUILESS_MAIN(TestBackupStop)
#include "tst_backupstop.moc"
