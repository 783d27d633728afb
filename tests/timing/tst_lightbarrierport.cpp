#include "mock/BarrierPortRig.h"
#include "mock/FakeRealtimeSystem.h"
#include "mock/FakeSerialSystem.h"
#include "mock/FakeTickSource.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "timing/SerialPort.h"

#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <sys/ioctl.h>

// The window's light-barrier port: its designed line settings and what opening, reopening and
// failing to open leave behind.
class TestLightBarrierPort : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void designedSettings();
    void open_data();
    void open();
    void noRealtimePriorityIsToldOnce();

private:
    using Rig = BarrierPortRig;
};

void TestLightBarrierPort::designedSettings() {
    Rig rig;
    const SerialPort& p = rig.port.comPort();
    QCOMPARE(p.baudRate(), SerialPort::BaudRate::br9600);
    QCOMPARE(p.userBaudRate(), 28800);
    QCOMPARE(p.port(), 0);
    QCOMPARE(p.flowControl(), SerialPort::FlowControl::fcRtsCts);
    QCOMPARE(p.dataBits(), 5);
    QCOMPARE(p.events(), SerialPort::LineEvents(SerialPort::LineEvent::evCTS) |
                             SerialPort::LineEvent::evDSR | SerialPort::LineEvent::evRLSD);
    QVERIFY(p.dtrEnabled());
    QCOMPARE(p.writeBufferSize(), 64);
    QCOMPARE(p.readBufferSize(), 64);
    QCOMPARE(rig.port.scanSerialPorts(), 0x10001u);
}

void TestLightBarrierPort::open_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("lockedByOther");
    QTest::addColumn<int>("setAttributesError");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("error");
    QTest::newRow("no port") << 0 << false << 0 << false << "";
    QTest::newRow("adapter present") << 1 << false << 0 << true << "";
    QTest::newRow("no such port") << 2 << false << 0 << false << "Unable to open com port: ";
    QTest::newRow("held by another program")
        << 1 << true << 0 << false << "Unable to open com port: ";
    QTest::newRow("settings refused")
        << 1 << false << EINVAL << false << "Unable to set com state: ";
}

void TestLightBarrierPort::open() {
    QFETCH(int, port);
    QFETCH(bool, lockedByOther);
    QFETCH(int, setAttributesError);
    QFETCH(bool, opened);
    QFETCH(QString, error);
    FakeLineDevice::Options options;
    options.lockedByOther = lockedByOther;
    options.setAttributesError = setAttributesError;
    Rig rig(options);
    QCOMPARE(rig.port.open(port), opened);
    QCOMPARE(rig.port.isOpen(), opened);
    // A port that failed is forgotten, so the light barriers are off.
    QCOMPARE(rig.port.comPort().port(), opened ? port : 0);
    if (error.isEmpty())
        QVERIFY(rig.port.lastError().isEmpty());
    else
        QVERIFY2(rig.port.lastError().startsWith(error), qPrintable(rig.port.lastError()));
    QCOMPARE(rig.barriers.isImageVisible(LightBarrier::Start), opened);
    QCOMPARE(rig.barriers.lockCommandsEnabled(), opened);
    QCOMPARE(rig.system->openDescriptors(), opened ? 1 : 0);
    if (opened) {
        // DTR and RTS supply the contacts.
        QCOMPARE(rig.device->outputs() & (TIOCM_DTR | TIOCM_RTS), quint32(TIOCM_DTR | TIOCM_RTS));
        rig.port.close();
        QCOMPARE(rig.system->openDescriptors(), 0);
        QVERIFY(!rig.barriers.isImageVisible(LightBarrier::Start));
    }
}

void TestLightBarrierPort::noRealtimePriorityIsToldOnce() {
    Rig rig;
    const auto refusing = std::make_shared<FakeRealtimeSystem>();
    rig.port.comPort().setRealtimeSystem(refusing);
    QSignalSpy told(&rig.port, &LightBarrierPort::realtimeUnavailable);
    QVERIFY(rig.port.open(1));
    // Asked for the monitor thread ("tid"), not for the calling one (0).
    QCOMPARE(refusing->calls(), QStringList({"fifo tid 20", "kit limits"}));
    QCOMPARE(told.size(), 1);
    const QString notice = rig.port.realtimeNotice();
    QVERIFY(notice.startsWith(u"Keine Echtzeit-Priorität für die Lichtschranken: SCHED_FIFO"));
    QCOMPARE(told.at(0).at(0).toString(), notice);
    rig.port.close();
    rig.port.open(1);
    QCOMPARE(told.size(), 1);
    QCOMPARE(rig.port.realtimeNotice(), notice);

    // Granted later (an rtprio limit given meanwhile): nothing left to tell.
    FakeRealtimeSystem::Script granting;
    granting.fifoResult = 0;
    rig.port.comPort().setRealtimeSystem(std::make_shared<FakeRealtimeSystem>(granting));
    rig.port.close();
    rig.port.open(1);
    QCOMPARE(rig.port.comPort().realtimePriority().method, RealtimePriority::Method::Direct);
    QCOMPARE(rig.port.realtimeNotice(), QString());
    QCOMPARE(told.size(), 1);
}

QTEST_GUILESS_MAIN(TestLightBarrierPort)
#include "tst_lightbarrierport.moc"
