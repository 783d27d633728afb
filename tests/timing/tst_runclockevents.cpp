#include "mock/RunClockFixture.h"

#include <QTest>

using Fixture = RunClockFixture;

namespace {

// One step of a race as the operator gives it; "wait" moves the hand-moved clock on 1.23 s.
void give(RunClock& clock, FakeTickSource& ticks, const QString& step) {
    if (step == u"timer")
        clock.beginCountdown();
    else if (step == u"start")
        clock.start();
    else if (step == u"lap")
        clock.lap();
    else if (step == u"stop")
        clock.stop();
    else if (step == u"enter")
        clock.enter();
    else if (step == u"dnf")
        clock.notFinished();
    else if (step == u"reset")
        clock.reset();
    else if (step == u"wait")
        ticks.advanceMilliseconds(1230);
    else
        QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
}

} // namespace

// What the run clock tells of the race, in the order it happens: the session enters results
// and the window focuses and enables from these alone.
class TestRunClockEvents : public QObject {
    Q_OBJECT

private:
    RunClockFixture m_fixture;

private Q_SLOTS:
    void eventsOfARace_data();
    void eventsOfARace();
};

void TestRunClockEvents::eventsOfARace_data() {
    QTest::addColumn<int>("timerMs");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("events");

    const QStringList over{QStringLiteral("readyForNextRun"), QStringLiteral("progressed")};
    const QStringList started{QStringLiteral("runStarted"), QStringLiteral("progressed")};
    QTest::newRow("entered") << 0 << QStringList{"start", "wait", "stop", "enter"}
                             << (started + QStringList{"runStopped", "runEntered 1230"} + over);
    QTest::newRow("reset after stop") << 0 << QStringList{"start", "wait", "stop", "reset"}
                                      << (started + QStringList{"runStopped"} + over);
    QTest::newRow("not finished") << 0 << QStringList{"start", "wait", "dnf"}
                                  << (started + QStringList{"runNotFinished"} + over);
    QTest::newRow("intermediate time") << 0 << QStringList{"start", "wait", "lap", "stop"}
                                       << (started + QStringList{"progressed", "runStopped"});
    QTest::newRow("countdown then start")
        << 10000 << QStringList{"timer", "wait", "start", "stop"}
        << (QStringList{"progressed"} + started + QStringList{"runStopped"});
    // Commands whose buttons are disabled tell nothing.
    QTest::newRow("nothing to stop")
        << 0 << QStringList{"stop", "enter", "dnf", "reset"} << QStringList{};
    QTest::newRow("entered once") << 0 << QStringList{"start", "wait", "stop", "enter", "enter"}
                                  << (started + QStringList{"runStopped", "runEntered 1230"} +
                                      over);
    QTest::newRow("no second start") << 0 << QStringList{"start", "start", "wait", "dnf", "dnf"}
                                     << (started + QStringList{"runNotFinished"} + over);
}

void TestRunClockEvents::eventsOfARace() {
    QFETCH(int, timerMs);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, events);

    RunClock& clock = m_fixture.make(Fixture::settingsWith(timerMs, 50));
    QStringList told;
    // The listeners go with this test row, not with the fixture's clock.
    QObject listener;
    const auto record = [&told](const char* name) {
        return [&told, name] {
            told.append(QString::fromLatin1(name));
        };
    };
    connect(&clock, &RunClock::runStarted, &listener, record("runStarted"));
    connect(&clock, &RunClock::runProgressed, &listener, record("progressed"));
    connect(&clock, &RunClock::runStopped, &listener, record("runStopped"));
    connect(&clock, &RunClock::runNotFinished, &listener, record("runNotFinished"));
    connect(&clock, &RunClock::readyForNextRun, &listener, record("readyForNextRun"));
    connect(&clock, &RunClock::runEntered, &listener, [&told](qint32 ms) {
        told.append(QStringLiteral("runEntered ") + QString::number(ms));
    });

    for (const QString& step : steps)
        give(clock, m_fixture.ticks(), step);
    QCOMPARE(told, events);
}

QTEST_GUILESS_MAIN(TestRunClockEvents)
#include "tst_runclockevents.moc"
