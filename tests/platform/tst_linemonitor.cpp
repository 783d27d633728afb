#include "mock/FakeSerialSystem.h"
#include "mock/ManualMicrosecondClock.h"
#include "platform/SerialLine.h"
#include "platform/SerialLineMonitor.h"

#include <QElapsedTimer>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <mutex>
#include <sys/ioctl.h>
#include <thread>

namespace {

constexpr quint32 BarrierLines = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;

// What the monitor handed on, collected from its thread.
class Collector {
public:
    void add(const LineChange& change) {
        std::lock_guard lock(m_mutex);
        m_changes.push_back(change);
    }
    void fail(int error) {
        std::lock_guard lock(m_mutex);
        m_error = error;
    }
    std::vector<LineChange> changes() const {
        std::lock_guard lock(m_mutex);
        return m_changes;
    }
    int error() const {
        std::lock_guard lock(m_mutex);
        return m_error;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<LineChange> m_changes;
    int m_error = 0;
};

bool waitFor(const std::function<bool()>& condition, int milliseconds = 2000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// A fake serial system with one configured device and a monitor on it.
struct Rig {
    explicit Rig(FakeLineDevice::Options options = {})
        : system(clock), device(system.addDevice(QStringLiteral("/dev/ttyUSB0"), options)),
          line(system) {
        line.open(QStringLiteral("/dev/ttyUSB0"));
        monitor = std::make_unique<SerialLineMonitor>(
            system, line.descriptor(), BarrierLines, clock,
            [this](const LineChange& change) { collector.add(change); },
            [this](int error) { collector.fail(error); });
    }
    // Moved only by the test, so a stamp equals the edge time exactly when taken at the edge.
    ManualMicrosecondClock clock;
    FakeSerialSystem system;
    std::shared_ptr<FakeLineDevice> device;
    SerialLine line;
    Collector collector;
    std::unique_ptr<SerialLineMonitor> monitor;
};

} // namespace

// The monitor thread: stamps at the edge, falls back to polling, stops promptly, reports
// an unplugged device.
class TestLineMonitor : public QObject {
    Q_OBJECT

private slots:
    void changeIsStampedWhenItHappens();
    void pulseBetweenTwoLooksGivesOnThenOff();
    void stopEndsAWaitingThreadQuickly();
    void stopIsHarmlessTwiceAndBeforeStart();
    void driverWithoutWaitIsPolledEveryMillisecond();
    void driverWithoutCountersIsPolledByLevel();
    void missedWakeupIsFoundBySweep();
    void ioErrorEndsTheMonitor_data();
    void ioErrorEndsTheMonitor();
};

void TestLineMonitor::changeIsStampedWhenItHappens() {
    Rig rig;
    rig.monitor->start();
    QCOMPARE(rig.monitor->mode(), SerialLineMonitor::Mode::Waiting);
    QVERIFY(waitFor([&] { return rig.device->isWaiting(); }));
    const qint64 edge = rig.device->setLevels(TIOCM_DSR, TIOCM_DSR);
    QVERIFY(waitFor([&] { return rig.collector.changes().size() == 1; }));
    const LineChange change = rig.collector.changes().front();
    QCOMPARE(change.changedLines, quint32(TIOCM_DSR));
    QVERIFY(change.levels & TIOCM_DSR);
    QCOMPARE(change.stampMicroseconds, edge);
}

void TestLineMonitor::pulseBetweenTwoLooksGivesOnThenOff() {
    Rig rig;
    rig.monitor->start();
    QVERIFY(waitFor([&] { return rig.device->isWaiting(); }));
    rig.device->pulse(TIOCM_CTS);
    QVERIFY(waitFor([&] { return rig.collector.changes().size() == 2; }));
    const std::vector<LineChange> changes = rig.collector.changes();
    QVERIFY(changes[0].levels & TIOCM_CTS);
    QVERIFY(!changes[0].observed);
    QCOMPARE(changes[1].levels & TIOCM_CTS, 0U);
    QVERIFY(changes[1].observed);
    QCOMPARE(changes[0].stampMicroseconds, changes[1].stampMicroseconds);
}

void TestLineMonitor::stopEndsAWaitingThreadQuickly() {
    Rig rig;
    rig.monitor->start();
    QVERIFY(waitFor([&] { return rig.device->isWaiting(); }));
    QElapsedTimer timer;
    timer.start();
    rig.monitor->stop();
    QVERIFY2(timer.elapsed() < 100, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(!rig.device->isWaiting());
    QVERIFY(rig.system.calls().contains(QStringLiteral("TIOCMIWAIT 100 -> EINTR")));
    QCOMPARE(rig.collector.error(), 0);
}

void TestLineMonitor::stopIsHarmlessTwiceAndBeforeStart() {
    Rig rig;
    rig.monitor->stop();
    rig.monitor->start();
    rig.monitor->stop();
    rig.monitor->stop();
    QCOMPARE(rig.collector.error(), 0);
}

void TestLineMonitor::driverWithoutWaitIsPolledEveryMillisecond() {
    FakeLineDevice::Options cp210x;
    cp210x.canWait = false;
    Rig rig(cp210x);
    rig.monitor->start();
    QVERIFY(waitFor([&] { return rig.monitor->mode() == SerialLineMonitor::Mode::Polling; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const qint64 edge = rig.device->setLevels(TIOCM_CAR, TIOCM_CAR);
    QVERIFY(waitFor([&] { return rig.collector.changes().size() == 1; }));
    const LineChange change = rig.collector.changes().front();
    QCOMPARE(change.changedLines, quint32(TIOCM_CAR));
    QCOMPARE(change.stampMicroseconds, edge);
    QElapsedTimer timer;
    timer.start();
    rig.monitor->stop();
    QVERIFY(timer.elapsed() < 100);
}

void TestLineMonitor::driverWithoutCountersIsPolledByLevel() {
    FakeLineDevice::Options bare;
    bare.canWait = false;
    bare.hasCounters = false;
    Rig rig(bare);
    rig.monitor->start();
    QVERIFY(waitFor([&] { return rig.monitor->mode() == SerialLineMonitor::Mode::Polling; }));
    rig.device->setLevels(TIOCM_CTS, TIOCM_CTS);
    QVERIFY(waitFor([&] { return rig.collector.changes().size() == 1; }));
    rig.device->setLevels(TIOCM_CTS, 0);
    QVERIFY(waitFor([&] { return rig.collector.changes().size() == 2; }));
    QCOMPARE(rig.collector.changes()[1].levels & TIOCM_CTS, 0U);
}

void TestLineMonitor::missedWakeupIsFoundBySweep() {
    FakeLineDevice::Options deaf;
    deaf.wakesWaiter = false;
    Rig rig(deaf);
    rig.monitor->start();
    QVERIFY(waitFor([&] { return rig.device->isWaiting(); }));
    // Without the periodic sweep this change would wait for the next one to be seen.
    rig.device->setLevels(TIOCM_DSR, TIOCM_DSR);
    QVERIFY(waitFor([&] { return rig.collector.changes().size() == 1; }));
    QCOMPARE(rig.collector.changes().front().changedLines, quint32(TIOCM_DSR));
}

void TestLineMonitor::ioErrorEndsTheMonitor_data() {
    QTest::addColumn<bool>("canWait");
    QTest::newRow("while waiting") << true;
    QTest::newRow("while polling") << false;
}

void TestLineMonitor::ioErrorEndsTheMonitor() {
    QFETCH(bool, canWait);
    FakeLineDevice::Options options;
    options.canWait = canWait;
    Rig rig(options);
    rig.monitor->start();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    rig.device->injectError(EIO);
    QVERIFY(waitFor([&] { return rig.collector.error() == EIO; }));
    QVERIFY(waitFor([&] { return rig.monitor->mode() == SerialLineMonitor::Mode::Failed; }));
    QElapsedTimer timer;
    timer.start();
    rig.monitor->stop();
    QVERIFY(timer.elapsed() < 100);
}

QTEST_GUILESS_MAIN(TestLineMonitor)
#include "tst_linemonitor.moc"
