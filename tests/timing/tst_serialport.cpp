#include "mock/FakeSerialSystem.h"
#include "mock/ManualMicrosecondClock.h"
#include "timing/EComHandle.h"
#include "timing/EComState.h"
#include "timing/SerialPort.h"

#include <QElapsedTimer>
#include <QMetaEnum>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>
#include <thread>

namespace {

QString systemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// One line event as the window receives it.
struct Received {
    quint32 mask;
    quint32 status;
    qint64 stamp;
    qint64 handledAt;
};

// A port on a fake serial system with one USB adapter, set up as the main window's instance.
// The clock moves only when the test moves it, so stamps can be compared exactly.
struct PortRig {
    explicit PortRig(FakeLineDevice::Options options = {})
        : system(std::make_shared<FakeSerialSystem>(clock)),
          device(system->addDevice(QStringLiteral("/dev/ttyUSB0"), options)), port(system, clock) {
        port.setPort(1);
        port.setFlowControl(SerialPort::FlowControl::fcRtsCts);
        port.setDataBits(5);
        port.setEvents({SerialPort::LineEvent::evCTS, SerialPort::LineEvent::evDSR,
                        SerialPort::LineEvent::evRLSD});
        QObject::connect(&port, &SerialPort::lineEvent, &port,
                         [this](quint32 mask, quint32 status, qint64 stamp) {
                             received.push_back({mask, status, stamp, clock()});
                         });
    }
    bool waitUntilWaiting() {
        return QTest::qWaitFor([this] { return device->isWaiting(); });
    }
    qsizetype waitsEntered() const {
        return system->calls().count(QStringLiteral("TIOCMIWAIT 100 CTS|DSR|CD"));
    }
    // Changes the lines while the monitor waits, and returns the edge time once the monitor
    // has passed the change on and waits again; the main thread handles nothing meanwhile.
    std::optional<qint64> changeWhileWaiting(quint32 lines, quint32 levels) {
        const qsizetype before = waitsEntered();
        const qint64 edge = device->setLevels(lines, levels);
        for (int i = 0; i < 5000 && waitsEntered() == before; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (waitsEntered() == before)
            return std::nullopt;
        return edge;
    }

    ManualMicrosecondClock clock;
    std::shared_ptr<FakeSerialSystem> system;
    std::shared_ptr<FakeLineDevice> device;
    std::vector<Received> received; // before the port, which may still report while closing
    SerialPort port;
};

} // namespace

// The light-barrier port: properties, open and close, and line events that keep the time
// of the edge however late the window handles them.
class TestSerialPort : public QObject {
    Q_OBJECT

private slots:
    void constructorDefaults();
    void enumerationsKeepTheirNamesAndOrder();
    void dataBitsAreClamped_data();
    void dataBitsAreClamped();
    void eventsMapToTheCommMask_data();
    void eventsMapToTheCommMask();
    void dispatchFollowsTheFixedOrder();
    void closeOnClosedPortFiresNothing();
    void openOnOpenPortClosesFirst();
    void missingDeviceRaisesEComHandle();
    void busyDeviceRaisesEComHandle();
    void settingsThatCannotBeAppliedRaiseEComState();
    void openCallSequenceWatchesTheBarrierLines();
    void closeStopsTheMonitorBeforeClosingTheDevice();
    void eventKeepsTheEdgeTimeWhileTheWindowIsBlocked();
    void twoChangesInOneBlockedPeriodArriveInOrder();
    void pulseBetweenTwoLooksIsDelivered();
    void polledDriverDeliversEvents();
    void unpluggedAdapterClosesThePort();
    void eventsOfAClosedPortAreDropped();
    void modemStatusReportsTheLines();
    void portListAndScanComeFromTheSystem();
};

void TestSerialPort::constructorDefaults() {
    SerialPort port(std::make_shared<FakeSerialSystem>(&SerialPort::steadyClockMicroseconds),
                    &SerialPort::steadyClockMicroseconds);
    QCOMPARE(port.baudRate(), SerialPort::BaudRate::br9600);
    QCOMPARE(port.userBaudRate(), 9600);
    QCOMPARE(port.port(), 1);
    QCOMPARE(port.parity(), SerialPort::Parity::prNone);
    QCOMPARE(port.stopBits(), SerialPort::StopBits::sbOneStopBit);
    QCOMPARE(port.flowControl(), SerialPort::FlowControl::fcNone);
    QCOMPARE(port.dataBits(), 8);
    QCOMPARE(SerialPort::eventMaskFor(port.events()), 0x01FFU);
    QVERIFY(port.dtrEnabled());
    QCOMPARE(port.writeBufferSize(), 2048);
    QCOMPARE(port.readBufferSize(), 2048);
    QVERIFY(!port.isConnected());
    QCOMPARE(port.property("dataBits").toInt(), 8);
    QVERIFY(port.setProperty("port", 12));
    QCOMPARE(port.port(), 12);
}

void TestSerialPort::enumerationsKeepTheirNamesAndOrder() {
    const QMetaEnum rates = QMetaEnum::fromType<SerialPort::BaudRate>();
    QCOMPARE(rates.keyCount(), 16);
    QCOMPARE(rates.key(0), "br110");
    QCOMPARE(rates.key(6), "br9600");
    QCOMPARE(rates.key(15), "brUser");
    QCOMPARE(QMetaEnum::fromType<SerialPort::Parity>().key(4), "prSpace");
    QCOMPARE(QMetaEnum::fromType<SerialPort::StopBits>().key(1), "sbOne5StopBits");
    QCOMPARE(QMetaEnum::fromType<SerialPort::FlowControl>().key(1), "fcRtsCts");
    const QMetaEnum events = QMetaEnum::fromType<SerialPort::LineEvents>();
    const QStringList expected{"evRxChar", "evTxEmpty", "evRxFlag", "evRing", "evBreak",
                               "evCTS",    "evDSR",     "evError",  "evRLSD"};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(QString::fromLatin1(events.key(i)), expected[i]);
    QCOMPARE(SerialPort::baudRateValue(SerialPort::BaudRate::br256000, 0), 256000U);
    QCOMPARE(SerialPort::baudRateValue(SerialPort::BaudRate::brUser, 28800), 28800U);
}

void TestSerialPort::dataBitsAreClamped_data() {
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("stored");
    QTest::newRow("9 stores 8") << 9 << 8;
    QTest::newRow("4 stores 5") << 4 << 5;
    QTest::newRow("255 stores 8") << 255 << 8;
    QTest::newRow("0 stores 5") << 0 << 5;
    QTest::newRow("6 stays") << 6 << 6;
}

void TestSerialPort::dataBitsAreClamped() {
    QFETCH(int, set);
    QFETCH(int, stored);
    SerialPort port(std::make_shared<FakeSerialSystem>(&SerialPort::steadyClockMicroseconds),
                    &SerialPort::steadyClockMicroseconds);
    port.setDataBits(set);
    QCOMPARE(port.dataBits(), stored);
}

void TestSerialPort::eventsMapToTheCommMask_data() {
    using E = SerialPort::LineEvent;
    QTest::addColumn<SerialPort::LineEvents>("events");
    QTest::addColumn<quint32>("mask");
    QTest::newRow("the barrier lines")
        << SerialPort::LineEvents{E::evCTS, E::evDSR, E::evRLSD} << 0x0038U;
    QTest::newRow("none") << SerialPort::LineEvents{} << 0U;
    QTest::newRow("rx char") << SerialPort::LineEvents{E::evRxChar} << 0x0001U;
    QTest::newRow("rx flag") << SerialPort::LineEvents{E::evRxFlag} << 0x0002U;
    QTest::newRow("tx empty") << SerialPort::LineEvents{E::evTxEmpty} << 0x0004U;
    QTest::newRow("break") << SerialPort::LineEvents{E::evBreak} << 0x0040U;
    QTest::newRow("error") << SerialPort::LineEvents{E::evError} << 0x0080U;
    QTest::newRow("ring") << SerialPort::LineEvents{E::evRing} << 0x0100U;
}

void TestSerialPort::eventsMapToTheCommMask() {
    QFETCH(SerialPort::LineEvents, events);
    QFETCH(quint32, mask);
    QCOMPARE(SerialPort::eventMaskFor(events), mask);
}

void TestSerialPort::dispatchFollowsTheFixedOrder() {
    SerialPort port(std::make_shared<FakeSerialSystem>(&SerialPort::steadyClockMicroseconds),
                    &SerialPort::steadyClockMicroseconds);
    QStringList order;
    QList<quint32> statuses;
    connect(&port, &SerialPort::rxChar, this, [&] { order << "RxChar"; });
    connect(&port, &SerialPort::txEmpty, this, [&] { order << "TxEmpty"; });
    connect(&port, &SerialPort::breakReceived, this, [&] { order << "Break"; });
    connect(&port, &SerialPort::ringChanged, this, [&] { order << "Ring"; });
    connect(&port, &SerialPort::ctsChanged, this, [&](quint32 status, qint64 stamp) {
        order << "CTS";
        statuses << status;
        QCOMPARE(stamp, 1234);
    });
    connect(&port, &SerialPort::dsrChanged, this, [&](quint32 status) {
        order << "DSR";
        statuses << status;
    });
    connect(&port, &SerialPort::rxFlag, this, [&] { order << "RxFlag"; });
    connect(&port, &SerialPort::dcdChanged, this, [&] { order << "RLSD"; });
    connect(&port, &SerialPort::errorOccurred, this, [&] { order << "Error"; });

    port.dispatchEvents(SerialPort::EV_DSR | SerialPort::EV_CTS, 0x30, 1234);
    QCOMPARE(order, QStringList({"CTS", "DSR"}));
    QCOMPARE(statuses, QList<quint32>({0x30, 0x30}));

    order.clear();
    port.dispatchEvents(0x01FF, 0, 1234);
    QCOMPARE(order, QStringList({"RxChar", "TxEmpty", "Break", "Ring", "CTS", "DSR", "RxFlag",
                                 "RLSD", "Error"}));
}

void TestSerialPort::closeOnClosedPortFiresNothing() {
    PortRig rig;
    QSignalSpy closed(&rig.port, &SerialPort::closed);
    rig.port.close();
    QCOMPARE(closed.count(), 0);
    QVERIFY(rig.system->calls().isEmpty());
}

void TestSerialPort::openOnOpenPortClosesFirst() {
    QStringList order; // outlives the port, whose destructor closes it
    PortRig rig;
    connect(&rig.port, &SerialPort::opened, this, [&] { order << "open"; });
    connect(&rig.port, &SerialPort::closed, this, [&] { order << "close"; });
    rig.port.open();
    QVERIFY(rig.port.isConnected());
    QCOMPARE(rig.port.devicePath(), QStringLiteral("/dev/ttyUSB0"));
    rig.port.open();
    QCOMPARE(order, QStringList({"open", "close", "open"}));
    QVERIFY(rig.port.isConnected());
    QCOMPARE(rig.system->openDescriptors(), 1);
}

void TestSerialPort::missingDeviceRaisesEComHandle() {
    PortRig rig;
    rig.port.setPort(7);
    QSignalSpy opened(&rig.port, &SerialPort::opened);
    try {
        rig.port.open();
        QFAIL("Open of a missing device succeeded");
    } catch (const EComHandle& error) {
        QCOMPARE(error.message(), "Unable to open com port: " + systemText(ENOENT));
    }
    QVERIFY(!rig.port.isConnected());
    QCOMPARE(opened.count(), 0);
}

void TestSerialPort::busyDeviceRaisesEComHandle() {
    FakeLineDevice::Options held;
    held.lockedByOther = true;
    PortRig rig(held);
    QVERIFY_THROWS_EXCEPTION(EComHandle, rig.port.open());
    try {
        rig.port.open();
    } catch (const EComHandle& error) {
        QCOMPARE(error.message(), "Unable to open com port: " + systemText(EBUSY));
    }
    QCOMPARE(rig.system->openDescriptors(), 0);
}

void TestSerialPort::settingsThatCannotBeAppliedRaiseEComState() {
    PortRig rig;
    rig.port.setBaudRate(SerialPort::BaudRate::br14400);
    try {
        rig.port.open();
        QFAIL("Open with a baud rate termios lacks succeeded");
    } catch (const EComState& error) {
        QCOMPARE(error.message(), "Unable to set com state: " + systemText(EINVAL));
    }
    QVERIFY(!rig.port.isConnected());
    // The device was let go, so the next Open can have it.
    QCOMPARE(rig.system->openDescriptors(), 0);
    rig.port.setBaudRate(SerialPort::BaudRate::br9600);
    rig.port.open();
    QVERIFY(rig.port.isConnected());
}

void TestSerialPort::openCallSequenceWatchesTheBarrierLines() {
    PortRig rig;
    rig.port.open();
    QVERIFY(rig.waitUntilWaiting());
    const QStringList calls = rig.system->calls();
    QCOMPARE(calls.mid(0, 13),
             QStringList({"open /dev/ttyUSB0 O_RDWR|O_NOCTTY|O_NONBLOCK|O_CLOEXEC", "fstat 100",
                          "TIOCEXCL 100", "flock 100", "tcgetattr 100", "tcsetattr 100 TCSANOW",
                          "tcflush 100 TCIOFLUSH", "TIOCMBIS 100 DTR|RTS", "TIOCMGET 100",
                          "TIOCGICOUNT 100", "TIOCMGET 100", "TIOCGICOUNT 100",
                          "TIOCMIWAIT 100 CTS|DSR|CD"}));
    const termios set = *rig.system->lastAttributes();
    QCOMPARE(set.c_cflag & (CLOCAL | CREAD | CSIZE | CRTSCTS), tcflag_t(CLOCAL | CREAD | CS5));
    QCOMPARE(rig.device->outputs(), quint32(TIOCM_DTR | TIOCM_RTS));
}

void TestSerialPort::closeStopsTheMonitorBeforeClosingTheDevice() {
    PortRig rig;
    rig.port.open();
    QVERIFY(rig.waitUntilWaiting());
    QSignalSpy closed(&rig.port, &SerialPort::closed);
    QElapsedTimer timer;
    timer.start();
    rig.port.close();
    QVERIFY2(timer.elapsed() < 100, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(closed.count(), 1);
    QVERIFY(!rig.port.isConnected());
    const QStringList calls = rig.system->calls();
    // The monitor has left its wait before the line settings found at open are put back.
    QCOMPARE(calls.mid(calls.size() - 3),
             QStringList({"TIOCMIWAIT 100 -> EINTR", "tcsetattr 100 TCSANOW", "close 100"}));
    QCOMPARE(rig.system->openDescriptors(), 0);
}

void TestSerialPort::eventKeepsTheEdgeTimeWhileTheWindowIsBlocked() {
    PortRig rig;
    QSignalSpy dsr(&rig.port, &SerialPort::dsrChanged);
    rig.port.open();
    QVERIFY(rig.waitUntilWaiting());
    rig.clock.set(5'000'000);
    const std::optional<qint64> edge = rig.changeWhileWaiting(TIOCM_DSR, TIOCM_DSR);
    QVERIFY(edge);
    // The window is busy for 200 ms and handles nothing meanwhile; the clock goes on.
    rig.clock.advance(200'000);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    QVERIFY(rig.received.empty());
    QTRY_COMPARE(rig.received.size(), std::size_t(1));
    const Received& event = rig.received.front();
    QCOMPARE(event.mask, SerialPort::EV_DSR);
    QCOMPARE(event.status, SerialPort::MS_DSR_ON);
    QCOMPARE(event.stamp, *edge);
    QCOMPARE(event.handledAt, *edge + 200'000);
    QCOMPARE(dsr.count(), 1);
    QCOMPARE(dsr.at(0).at(1).toLongLong(), event.stamp);
}

void TestSerialPort::twoChangesInOneBlockedPeriodArriveInOrder() {
    PortRig rig;
    rig.port.open();
    QVERIFY(rig.waitUntilWaiting());
    rig.clock.set(5'020'000);
    const std::optional<qint64> first = rig.changeWhileWaiting(TIOCM_DSR, TIOCM_DSR);
    rig.clock.set(5'080'000);
    const std::optional<qint64> second = rig.changeWhileWaiting(TIOCM_CTS, TIOCM_CTS);
    QVERIFY(first && second);
    rig.clock.set(5'200'000);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    QVERIFY(rig.received.empty());
    QTRY_COMPARE(rig.received.size(), std::size_t(2));
    QCOMPARE(rig.received[0].mask, SerialPort::EV_DSR);
    QCOMPARE(rig.received[0].status, SerialPort::MS_DSR_ON);
    QCOMPARE(rig.received[0].stamp, *first);
    QCOMPARE(rig.received[1].mask, SerialPort::EV_CTS);
    QCOMPARE(rig.received[1].status, SerialPort::MS_DSR_ON | SerialPort::MS_CTS_ON);
    QCOMPARE(rig.received[1].stamp, *second);
}

void TestSerialPort::pulseBetweenTwoLooksIsDelivered() {
    PortRig rig;
    QSignalSpy dsr(&rig.port, &SerialPort::dsrChanged);
    rig.port.open();
    QVERIFY(rig.waitUntilWaiting());
    rig.device->pulse(TIOCM_DSR);
    QTRY_COMPARE(rig.received.size(), std::size_t(2));
    QCOMPARE(rig.received[0].status, SerialPort::MS_DSR_ON);
    QCOMPARE(rig.received[1].status, 0U);
    QCOMPARE(dsr.count(), 2);
}

void TestSerialPort::polledDriverDeliversEvents() {
    FakeLineDevice::Options cp210x;
    cp210x.canWait = false;
    PortRig rig(cp210x);
    rig.port.open();
    rig.clock.set(7'000'000);
    const qint64 edge = rig.device->setLevels(TIOCM_CAR, TIOCM_CAR);
    QTRY_COMPARE(rig.received.size(), std::size_t(1));
    QCOMPARE(rig.received[0].mask, SerialPort::EV_RLSD);
    QCOMPARE(rig.received[0].status, SerialPort::MS_RLSD_ON);
    QCOMPARE(rig.received[0].stamp, edge);
}

void TestSerialPort::unpluggedAdapterClosesThePort() {
    PortRig rig;
    QSignalSpy closed(&rig.port, &SerialPort::closed);
    QSignalSpy lost(&rig.port, &SerialPort::deviceLost);
    rig.port.open();
    QVERIFY(rig.waitUntilWaiting());
    // A change the monitor has passed on but the window not yet handled, then the adapter
    // is pulled.
    QVERIFY(rig.changeWhileWaiting(TIOCM_CTS, TIOCM_CTS));
    rig.device->injectError(EIO);
    QTRY_COMPARE(closed.count(), 1);
    QVERIFY(!rig.port.isConnected());
    QCOMPARE(lost.count(), 1);
    QCOMPARE(lost.at(0).at(0).toString(), systemText(EIO));
    // The change before the failure is still handled, and before the close.
    QCOMPARE(rig.received.size(), std::size_t(1));
    QCOMPARE(rig.system->openDescriptors(), 0);
    QCOMPARE(rig.port.modemStatus(), 0U);
    rig.port.close();
    QCOMPARE(closed.count(), 1);
}

void TestSerialPort::eventsOfAClosedPortAreDropped() {
    PortRig rig;
    rig.port.open();
    QVERIFY(rig.waitUntilWaiting());
    QVERIFY(rig.changeWhileWaiting(TIOCM_DSR, TIOCM_DSR));
    rig.port.close();
    QTest::qWait(50);
    QVERIFY(rig.received.empty());
}

void TestSerialPort::modemStatusReportsTheLines() {
    PortRig rig;
    QCOMPARE(rig.port.modemStatus(), 0U);
    rig.port.open();
    rig.device->setLevels(TIOCM_CTS | TIOCM_CAR | TIOCM_RNG, TIOCM_CTS | TIOCM_CAR | TIOCM_RNG);
    QCOMPARE(rig.port.modemStatus(),
             SerialPort::MS_CTS_ON | SerialPort::MS_RLSD_ON | SerialPort::MS_RING_ON);
    rig.device->setLevels(TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG, TIOCM_DSR);
    QCOMPARE(rig.port.modemStatus(), SerialPort::MS_DSR_ON);
    QCOMPARE(rig.port.inputCount(), 0);
}

void TestSerialPort::portListAndScanComeFromTheSystem() {
    PortRig rig;
    rig.system->addDevice(QStringLiteral("/dev/ttyUSB1"));
    QCOMPARE(rig.port.devicePathForPort(2), QStringLiteral("/dev/ttyUSB1"));
    QCOMPARE(rig.port.devicePathForPort(3), std::nullopt);
    QCOMPARE(rig.port.scanSerialPorts(), 0x3U | (2U << 16));
    rig.port.open();
    // Held by this port, COM1 is no longer free.
    QCOMPARE(rig.port.scanSerialPorts(), 0x2U | (2U << 16));
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
