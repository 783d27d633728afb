#include "mock/RunClockFixture.h"
#include "timing/RunOverrun.h"

#include <QSignalSpy>
#include <QTest>

// "Nicht im Ziel" (F7) on the run clock, and the warning of a run without a stop.
class TstNotFinished : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void overrunWarning_data();
    void overrunWarning();
    void notFinishedActsOnlyWhileRunning_data();
    void notFinishedActsOnlyWhileRunning();
};

void TstNotFinished::overrunWarning_data() {
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("warning");
    QTest::newRow("within") << qint64(119999) << 120 << QString();
    QTest::newRow("at the limit") << qint64(120000) << 120
                                  << "Kein Stopp seit 120 s: F7 = Nicht im Ziel";
    QTest::newRow("whole seconds")
        << qint64(131999) << 120 << "Kein Stopp seit 131 s: F7 = Nicht im Ziel";
    QTest::newRow("off") << qint64(10000000) << 0 << QString();
    QTest::newRow("short limit") << qint64(5000) << 5 << "Kein Stopp seit 5 s: F7 = Nicht im Ziel";
}

void TstNotFinished::overrunWarning() {
    QFETCH(qint64, elapsedMs);
    QFETCH(int, limit);
    QFETCH(QString, warning);
    QCOMPARE(RunOverrun::warning(elapsedMs, limit).value_or(QString()), warning);
}

void TstNotFinished::notFinishedActsOnlyWhileRunning_data() {
    QTest::addColumn<int>("stepsBefore"); // 0 ready, 1 running, 2 stopped
    QTest::addColumn<bool>("acts");
    QTest::newRow("ready") << 0 << false;
    QTest::newRow("running") << 1 << true;
    QTest::newRow("stopped, waiting for entry") << 2 << false;
}

void TstNotFinished::notFinishedActsOnlyWhileRunning() {
    QFETCH(int, stepsBefore);
    QFETCH(bool, acts);
    RunClockFixture fixture;
    RunClock& clock = fixture.make(RunClockFixture::settingsWith(0, 50));
    if (stepsBefore >= 1) {
        clock.start();
        fixture.ticks().advanceMilliseconds(2500);
    }
    if (stepsBefore == 2)
        clock.stop();
    const RunClock::State before = clock.state();
    QSignalSpy dnf(&clock, &RunClock::runNotFinished);
    QSignalSpy results(&clock, &RunClock::runEntered);
    QSignalSpy commands(&clock, &RunClock::commandTaken);
    clock.notFinished();
    QCOMPARE(dnf.size(), acts ? 1 : 0);
    QCOMPARE(results.size(), 0); // never a time
    QCOMPARE(clock.state(), acts ? RunClock::State::Ready : before);
    if (acts) {
        QCOMPARE(commands.constFirst().at(0).value<RunClock::Command>(),
                 RunClock::Command::NotFinished);
        QVERIFY(!clock.isClockRunning());
        QVERIFY(!clock.isAvailable(TimingButton::Stop));
        QVERIFY(!clock.isAvailable(TimingButton::Lap));
        QVERIFY(clock.isAvailable(TimingButton::Start));
        QVERIFY(!clock.isAutoEntryPending());
    }
}

QTEST_GUILESS_MAIN(TstNotFinished)
#include "tst_notfinished.moc"
