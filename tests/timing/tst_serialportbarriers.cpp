#include "mock/FakeSerialSystem.h"
#include "mock/ManualMicrosecondClock.h"
#include "timing/BarrierLogic.h"
#include "timing/RunClock.h"
#include "timing/SerialPort.h"
#include "timing/TickSource.h"

#include <QTest>

#include <cerrno>
#include <sys/ioctl.h>
#include <thread>

namespace {

// The run clock and the port read one hand-moved time.
class SharedTickSource : public TickSource {
public:
    explicit SharedTickSource(ManualMicrosecondClock clock) : m_clock(std::move(clock)) {}
    qint64 nowMicroseconds() const override { return m_clock(); }

private:
    ManualMicrosecondClock m_clock;
};

} // namespace

// The port wired to the barrier logic as the main window wires them: a start contact that
// closes while the window is busy still starts the run at the moment it closed.
class TestSerialPortBarriers : public QObject {
    Q_OBJECT

private slots:
    void startContactWhileWindowIsBusyStartsAtTheEdge();
    void unpluggedAdapterHidesTheBarriers();

private:
    struct Rig {
        Rig()
            : system(std::make_shared<FakeSerialSystem>(clock)),
              device(system->addDevice(QStringLiteral("/dev/ttyUSB0"))), ticks(clock),
              runClock(ticks), barriers(runClock), port(system, clock) {
            TimingSettings settings;
            settings.timerMs = 0;
            runClock.startUp(settings);
            barriers.applySettings(settings);
            port.setPort(1);
            port.setEvents({SerialPort::LineEvent::evCTS, SerialPort::LineEvent::evDSR,
                            SerialPort::LineEvent::evRLSD});
            connect(&port, &SerialPort::lineEvent, &barriers, &BarrierLogic::portLinesChanged);
            connect(&port, &SerialPort::opened, &barriers, &BarrierLogic::portOpened);
            connect(&port, &SerialPort::closed, &barriers, &BarrierLogic::portClosed);
        }
        ManualMicrosecondClock clock;
        std::shared_ptr<FakeSerialSystem> system;
        std::shared_ptr<FakeLineDevice> device;
        SharedTickSource ticks;
        RunClock runClock;
        BarrierLogic barriers;
        SerialPort port;
    };
};

void TestSerialPortBarriers::startContactWhileWindowIsBusyStartsAtTheEdge() {
    Rig rig;
    rig.port.open();
    QVERIFY(rig.barriers.lockCommandsEnabled());
    rig.barriers.toggleBarrierLock(0); // free the start barrier (F11)
    QVERIFY(rig.barriers.isFree(LightBarrier::Start));
    QVERIFY(QTest::qWaitFor([&] { return rig.device->isWaiting(); }));

    const auto waits = [&] {
        return rig.system->calls().count(QStringLiteral("TIOCMIWAIT 100 CTS|DSR|CD"));
    };
    const qsizetype waitsBefore = waits();
    rig.clock.set(30'000'000);
    const qint64 edge = rig.device->setLevels(TIOCM_DSR, TIOCM_DSR);
    // The window is busy for 200 ms while the clock goes on; the monitor has passed the
    // change on by then and waits again.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (int i = 0; i < 5000 && waits() == waitsBefore; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    QVERIFY(waits() > waitsBefore);
    rig.clock.advance(200'000);
    QCOMPARE(rig.runClock.state(), RunClock::State::Ready);
    QTRY_COMPARE(rig.runClock.state(), RunClock::State::Running);
    QCOMPARE(rig.runClock.startStamp(), edge);
    rig.port.close();
}

void TestSerialPortBarriers::unpluggedAdapterHidesTheBarriers() {
    Rig rig;
    rig.port.open();
    QVERIFY(rig.barriers.isImageVisible(LightBarrier::Start));
    QVERIFY(QTest::qWaitFor([&] { return rig.device->isWaiting(); }));
    rig.device->injectError(EIO);
    QTRY_VERIFY(!rig.port.isConnected());
    QVERIFY(!rig.barriers.isImageVisible(LightBarrier::Start));
    QVERIFY(!rig.barriers.isImageVisible(LightBarrier::Stop));
    QVERIFY(!rig.barriers.lockCommandsEnabled());
}

QTEST_GUILESS_MAIN(TestSerialPortBarriers)
#include "tst_serialportbarriers.moc"
