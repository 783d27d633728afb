#include "mock/FakeRealtimeSystem.h"
#include "platform/LinuxRealtimeSystem.h"
#include "platform/RealtimePriority.h"

#include <QElapsedTimer>
#include <QTest>

using Method = RealtimePriority::Method;
Q_DECLARE_METATYPE(RealtimePriority::Method)

// Real-time scheduling for the monitor thread: directly, through RealtimeKit, or a reason why
// not that the operator is told.
class TestRealtimePriority : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void raise_data();
    void raise();
    void noSystemBusIsNoHang();
};

void TestRealtimePriority::initTestCase() {
    // Before the first use of the system bus in this process.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/velmora-test-system-bus");
}

void TestRealtimePriority::raise_data() {
    QTest::addColumn<int>("rtprioLimit");
    QTest::addColumn<int>("fifoResult");
    QTest::addColumn<int>("kitMax"); // -1: no RealtimeKit
    QTest::addColumn<int>("runtimeResult");
    QTest::addColumn<QString>("makeError");
    QTest::addColumn<Method>("method");
    QTest::addColumn<int>("priority");
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QString>("reason");

    const QString refused = QStringLiteral("SCHED_FIFO verweigert (Operation not permitted)");
    QTest::newRow("root") << 0 << 0 << -1 << 0 << "" << Method::Direct << 20 << "fifo tid 20"
                          << "";
    QTest::newRow("rtprio limit below the wish")
        << 10 << 0 << -1 << 0 << "" << Method::Direct << 10 << "fifo tid 10"
        << "";
    QTest::newRow("rtprio limit above the wish")
        << 99 << 0 << -1 << 0 << "" << Method::Direct << 20 << "fifo tid 20"
        << "";
    QTest::newRow("neither") << 0 << -EPERM << -1 << 0 << "" << Method::None << 0
                             << "fifo tid 20|kit limits"
                             << refused + ", RealtimeKit: The name is not activatable";
    QTest::newRow("RealtimeKit grants") << 0 << -EPERM << 20 << 0 << "" << Method::RealtimeKit << 20
                                        << "fifo tid 20|kit limits|rttime 200000|kit tid 20"
                                        << "";
    QTest::newRow("RealtimeKit caps the priority")
        << 0 << -EPERM << 5 << 0 << "" << Method::RealtimeKit << 5
        << "fifo tid 20|kit limits|rttime 200000|kit tid 5"
        << "";
    QTest::newRow("RealtimeKit refuses")
        << 0 << -EPERM << 20 << 0 << "Operation not permitted" << Method::None << 0
        << "fifo tid 20|kit limits|rttime 200000|kit tid 20"
        << refused + ", RealtimeKit: Operation not permitted";
    QTest::newRow("RealtimeKit has no real-time priority")
        << 0 << -EPERM << 0 << 0 << "" << Method::None << 0 << "fifo tid 20|kit limits"
        << refused + ", RealtimeKit gibt keine Echtzeit-Priorität";
    QTest::newRow("RLIMIT_RTTIME refused")
        << 0 << -EPERM << 20 << -EPERM << "" << Method::None << 0
        << "fifo tid 20|kit limits|rttime 200000"
        << refused + ", RLIMIT_RTTIME nicht setzbar (Operation not permitted)";
}

void TestRealtimePriority::raise() {
    QFETCH(int, rtprioLimit);
    QFETCH(int, fifoResult);
    QFETCH(int, kitMax);
    QFETCH(int, runtimeResult);
    QFETCH(QString, makeError);
    QFETCH(Method, method);
    QFETCH(int, priority);
    QFETCH(QString, calls);
    QFETCH(QString, reason);

    FakeRealtimeSystem::Script script;
    script.rtprioLimit = rtprioLimit;
    script.fifoResult = fifoResult;
    if (kitMax >= 0)
        script.kit = RealtimeSystem::KitLimits{kitMax, 200000};
    script.runtimeResult = runtimeResult;
    script.makeError = makeError;
    FakeRealtimeSystem system(script);

    const RealtimePriority::Outcome outcome = RealtimePriority::raise(system, 4242);
    QCOMPARE(outcome.method, method);
    QCOMPARE(outcome.priority, priority);
    QCOMPARE(system.calls().join(u'|'), calls);
    QCOMPARE(outcome.reason, reason);
    const QString notice = RealtimePriority::notice(outcome);
    if (method == Method::None)
        QVERIFY(notice.startsWith(
            QStringLiteral("Keine Echtzeit-Priorität für die Lichtschranken: ") + reason));
    else
        QCOMPARE(notice, QString());
}

void TestRealtimePriority::noSystemBusIsNoHang() {
    LinuxRealtimeSystem system;
    QElapsedTimer elapsed;
    elapsed.start();
    QString error;
    QVERIFY(!system.realtimeKitLimits(&error));
    QVERIFY2(error.startsWith(u"kein System-D-Bus"), qPrintable(error));
    QVERIFY(!system.makeThreadRealtime(1, 1).isEmpty());
    QVERIFY(elapsed.elapsed() < LinuxRealtimeSystem::BusTimeoutMs);
}

QTEST_GUILESS_MAIN(TestRealtimePriority)
#include "tst_realtimepriority.moc"
