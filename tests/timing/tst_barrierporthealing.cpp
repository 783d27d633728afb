#include "mock/BarrierPortRig.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "timing/SerialPort.h"

#include <QSignalSpy>
#include <QTest>

#include <sys/ioctl.h>

// The light-barrier adapter pulled out in the middle of a run and plugged in again: the port
// finds the same adapter by itself, and every impulse counts exactly once.
class TestBarrierPortHealing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void adapterReturns_data();
    void adapterReturns();
    void operatorClosingEndsTheWatch();

private:
    struct Rig : BarrierPortRig {
        explicit Rig(bool byId) {
            if (byId)
                system->addLink(byIdLink(), QStringLiteral("/dev/ttyUSB0"));
            TimingSettings settings;
            settings.timerMs = 0;
            clock.startUp(settings);
            barriers.applySettings(settings);
        }
        static QString byIdLink() {
            return QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_A12B-if00-port0");
        }
    };
};

void TestBarrierPortHealing::adapterReturns_data() {
    QTest::addColumn<bool>("byId");
    QTest::addColumn<QString>("returnsAt");
    QTest::addColumn<bool>("found");
    QTest::newRow("same node, by-id name") << true << "/dev/ttyUSB0" << true;
    QTest::newRow("another node, same by-id name") << true << "/dev/ttyUSB1" << true;
    QTest::newRow("no by-id name, same node") << false << "/dev/ttyUSB0" << true;
    // Without a name that follows the adapter another node may be another device.
    QTest::newRow("no by-id name, another node") << false << "/dev/ttyUSB1" << false;
}

void TestBarrierPortHealing::adapterReturns() {
    QFETCH(bool, byId);
    QFETCH(QString, returnsAt);
    QFETCH(bool, found);
    Rig rig(byId);
    QSignalSpy lines(&rig.port, &LightBarrierPort::lineChanged);
    QSignalSpy lost(&rig.port, &LightBarrierPort::connectionLost);
    QSignalSpy restored(&rig.port, &LightBarrierPort::connectionRestored);
    QVERIFY(rig.port.open(1));
    rig.barriers.toggleBarrierLock(0);
    QVERIFY(QTest::qWaitFor([&] { return rig.device->isWaiting(); }));

    // Before: the start contact starts the run and opens again.
    rig.ticks->setNow(10'000'000);
    rig.device->setLevels(TIOCM_DSR, TIOCM_DSR);
    QTRY_COMPARE(rig.clock.state(), RunClock::State::Running);
    rig.ticks->setNow(10'100'000);
    rig.device->setLevels(TIOCM_DSR, 0);
    QTRY_COMPARE(lines.size(), 2);

    rig.system->unplug(QStringLiteral("/dev/ttyUSB0"));
    QTRY_COMPARE(lost.size(), 1);
    QCOMPARE(lost.at(0).at(0).toString(), QStringLiteral("/dev/ttyUSB0"));
    QVERIFY(rig.port.isReconnecting());
    QVERIFY(!rig.port.isOpen());
    QCOMPARE(rig.port.comPort().port(), 1);
    QCOMPARE(rig.system->openDescriptors(), 0);
    QCOMPARE(rig.clock.state(), RunClock::State::Running);

    // During: a contact of the pulled-out adapter reaches no one.
    rig.device->setLevels(TIOCM_CTS, TIOCM_CTS);
    // It comes back with the stop contact already closed: that is no new edge.
    FakeLineDevice::Options options;
    const auto back = rig.system->addDevice(returnsAt, options);
    back->setLevels(TIOCM_CTS, TIOCM_CTS);
    if (byId)
        rig.system->addLink(Rig::byIdLink(), returnsAt);
    if (!found) {
        QTest::qWait(2 * LightBarrierPort::WatchIntervalMs + 200);
        QCOMPARE(restored.size(), 0);
        QVERIFY(rig.port.isReconnecting());
        rig.clock.stop();
        QCOMPARE(rig.clock.state(), RunClock::State::Stopped);
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(restored.size(), 1, 3 * LightBarrierPort::WatchIntervalMs);
    QCOMPARE(restored.at(0).at(0).toString(), returnsAt);
    QVERIFY(rig.port.isOpen());
    QVERIFY(!rig.port.isReconnecting());
    QCOMPARE(rig.port.comPort().port(), 1);
    QVERIFY(rig.barriers.isImageVisible(LightBarrier::Stop));
    // Reopened with the same settings: DTR and RTS supply the contacts again.
    QCOMPARE(back->outputs() & (TIOCM_DTR | TIOCM_RTS), quint32(TIOCM_DTR | TIOCM_RTS));

    // After: an impulse of the returned adapter counts once.
    QVERIFY(QTest::qWaitFor([&] { return back->isWaiting(); }));
    rig.ticks->setNow(12'000'000);
    back->setLevels(TIOCM_DSR, TIOCM_DSR);
    QTRY_COMPARE(lines.size(), 3);
    QTest::qWait(50);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0).at(2).toLongLong(), 10'000'000);
    QCOMPARE(lines.at(1).at(2).toLongLong(), 10'100'000);
    QCOMPARE(lines.at(2).at(2).toLongLong(), 12'000'000);
    QCOMPARE(rig.clock.startStamp(), 10'000'000);

    // The run begun before the loss is stopped by key.
    QCOMPARE(rig.clock.state(), RunClock::State::Running);
    rig.ticks->setNow(13'000'000);
    rig.clock.stop();
    QCOMPARE(rig.clock.state(), RunClock::State::Stopped);
    QCOMPARE(rig.clock.stopStamp() - rig.clock.startStamp(), 3'000'000);
    rig.port.close();
}

void TestBarrierPortHealing::operatorClosingEndsTheWatch() {
    Rig rig(true);
    QSignalSpy restored(&rig.port, &LightBarrierPort::connectionRestored);
    QVERIFY(rig.port.open(1));
    QVERIFY(QTest::qWaitFor([&] { return rig.device->isWaiting(); }));
    rig.system->unplug(QStringLiteral("/dev/ttyUSB0"));
    QTRY_VERIFY(rig.port.isReconnecting());
    // The settings dialog turns the light barriers off while the adapter is away.
    rig.port.open(0);
    QVERIFY(!rig.port.isReconnecting());
    rig.system->addDevice(QStringLiteral("/dev/ttyUSB0"));
    rig.system->addLink(Rig::byIdLink(), QStringLiteral("/dev/ttyUSB0"));
    QTest::qWait(LightBarrierPort::WatchIntervalMs + 300);
    QCOMPARE(restored.size(), 0);
    QVERIFY(!rig.port.isOpen());
}

QTEST_GUILESS_MAIN(TestBarrierPortHealing)
#include "tst_barrierporthealing.moc"
