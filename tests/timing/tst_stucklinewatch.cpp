#include "mock/FakeSerialSystem.h"
#include "mock/FakeTickSource.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "timing/SerialPort.h"
#include "timing/StuckLineWatch.h"

#include <QSignalSpy>
#include <QTest>

#include <sys/ioctl.h>

namespace {

using Line = StuckLineWatch::Line;
// When the watch looks (ms after the port opened) and whether it must find the line stuck.
using Checks = QList<std::pair<int, bool>>;
constexpr qint64 OpenedMicroseconds = 10'000'000;
constexpr quint32 AllLines = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG;

} // namespace

Q_DECLARE_METATYPE(Checks)
Q_DECLARE_METATYPE(StuckLineWatch::Line)

// A line that stays at its active level on the fake adapter: told after the limit (3 s), not
// for the time its own lock runs, not for a line whose barrier is not in use, and no longer
// once the line returns.
class TestStuckLineWatch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lineHeldActive_data();
    void lineHeldActive();
};

void TestStuckLineWatch::lineHeldActive_data() {
    QTest::addColumn<int>("alg");
    QTest::addColumn<int>("len");
    QTest::addColumn<bool>("backupLine");
    QTest::addColumn<bool>("running");
    QTest::addColumn<quint32>("lineBit");
    QTest::addColumn<Line>("line");
    QTest::addColumn<bool>("beforeOpen");
    QTest::addColumn<Checks>("checks");

    const auto cts = quint32(TIOCM_CTS);
    QTest::newRow("stop line held past the limit") << 0 << 50 << false << false << cts << Line::Stop
                                                   << false << Checks{{2900, false}, {3100, true}};
    QTest::newRow("already active when the port opens")
        << 0 << 50 << false << false << cts << Line::Stop << true
        << Checks{{2900, false}, {3100, true}};
    QTest::newRow("Aus: stop contact open past the limit")
        << 1 << 50 << false << false << cts << Line::Stop << false << Checks{{3100, true}};
    // The run starts at the opening: the start lock holds 5 s, the stop lock 2 s, then 3 s
    // count.
    QTest::newRow("start line under its lock")
        << 0 << 50 << false << true << quint32(TIOCM_DSR) << Line::Start << false
        << Checks{{3100, false}, {7900, false}, {8100, true}};
    QTest::newRow("stop line under its lock")
        << 0 << 50 << false << true << cts << Line::Stop << false
        << Checks{{3100, false}, {4900, false}, {5100, true}};
    QTest::newRow("intermediate line with \"Zwischen\"")
        << 0 << 50 << false << false << quint32(TIOCM_CAR) << Line::Intermediate << false
        << Checks{{3100, true}};
    QTest::newRow("intermediate line unused without \"Zwischen\"")
        << 1 << 0 << false << false << quint32(TIOCM_CAR) << Line::Intermediate << false
        << Checks{{3100, false}, {60000, false}};
    QTest::newRow("RI held with System B") << 0 << 50 << true << false << quint32(TIOCM_RNG)
                                           << Line::Backup << false << Checks{{3100, true}};
    QTest::newRow("RI ignored without System B") << 0 << 50 << false << false << quint32(TIOCM_RNG)
                                                 << Line::Backup << false << Checks{{3100, false}};
    QTest::newRow("Alg 2 has no active level")
        << 2 << 50 << false << false << cts << Line::Stop << false << Checks{{3100, false}};
}

void TestStuckLineWatch::lineHeldActive() {
    QFETCH(int, alg);
    QFETCH(int, len);
    QFETCH(bool, backupLine);
    QFETCH(bool, running);
    QFETCH(quint32, lineBit);
    QFETCH(Line, line);
    QFETCH(bool, beforeOpen);
    QFETCH(Checks, checks);

    const auto ticks = std::make_shared<FakeTickSource>(1'000'000);
    const auto system =
        std::make_shared<FakeSerialSystem>([ticks] { return ticks->nowMicroseconds(); });
    const auto device = system->addDevice(QStringLiteral("/dev/ttyUSB0"));
    RunClock clock(*ticks);
    BarrierLogic barriers(clock);
    LightBarrierPort port(barriers, system, ticks);
    TimingSettings settings;
    settings.timerMs = 0;
    settings.alg = alg;
    settings.lengthMetres = len;
    settings.backupLine = backupLine;
    settings.lockTimeMs = 2000;
    clock.startUp(settings);
    barriers.applySettings(settings);

    // Contacts at rest: open for "Ein", closed for "Aus".
    device->setLevels(AllLines, alg == 1 ? AllLines : 0);
    const quint32 active = alg == 1 ? 0 : lineBit;
    if (beforeOpen)
        device->setLevels(lineBit, active);
    ticks->setNow(OpenedMicroseconds);
    QVERIFY(port.open(1));
    StuckLineWatch& watch = port.stuckLines();
    QSignalSpy told(&watch, &StuckLineWatch::stuckChanged);
    QSignalSpy lines(&port, &LightBarrierPort::lineChanged);
    QVERIFY(QTest::qWaitFor([&] { return device->isWaiting(); }));
    if (running)
        clock.start();
    if (!beforeOpen) {
        device->setLevels(lineBit, active);
        // Without System B the port does not watch RI at all.
        if (lineBit != TIOCM_RNG || backupLine)
            QTRY_COMPARE(lines.size(), 1);
    }
    for (const auto& [atMs, stuck] : checks) {
        ticks->setNow(OpenedMicroseconds + atMs * 1000);
        watch.check();
        QCOMPARE(watch.isStuck(line), stuck);
    }
    if (!watch.isStuck(line)) {
        QCOMPARE(told.size(), 0);
        return;
    }
    QCOMPARE(told.size(), 1);
    QCOMPARE(told.at(0).at(0).value<Line>(), line);
    QCOMPARE(StuckLineWatch::stuckText(line),
             QStringLiteral("Lichtschranke dauerhaft ausgelöst: ") +
                 StuckLineWatch::barrierName(line));
    // The line returns: the notice goes.
    device->setLevels(lineBit, lineBit & ~active);
    QTRY_VERIFY(!watch.isStuck(line));
    QCOMPARE(told.size(), 2);
    QCOMPARE(told.at(1).at(1).toBool(), false);
}

QTEST_GUILESS_MAIN(TestStuckLineWatch)
#include "tst_stucklinewatch.moc"
