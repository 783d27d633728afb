#include "mock/FakeInhibitorBus.h"
#include "mock/SessionFixture.h"
#include "platform/CompetitionInhibitor.h"

#include <QTest>

// The session keeps the machine awake from the first timing key until the clock is Ready
// again, and lets go at shutdown: no suspend, no blank screen in the middle of a run.
class TestRaceSessionAwake : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void awakeWhileTheClockIsBusy_data();
    void awakeWhileTheClockIsBusy();
};

void TestRaceSessionAwake::awakeWhileTheClockIsBusy_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("awake");
    QTest::newRow("start-up") << QStringList{} << false;
    QTest::newRow("countdown") << QStringList{"F4"} << true;
    QTest::newRow("stopped, waiting for entry") << QStringList{"F5", "+1000", "F8"} << true;
    QTest::newRow("entered") << QStringList{"F5", "+1000", "F8", "F9"} << false;
    QTest::newRow("reset after stop") << QStringList{"F5", "+1000", "F8", "F10"} << false;
}

void TestRaceSessionAwake::awakeWhileTheClockIsBusy() {
    QFETCH(QStringList, steps);
    QFETCH(bool, awake);
    SessionFixture fixture;
    fixture.addCompetitors(3);
    auto bus =
        std::dynamic_pointer_cast<FakeInhibitorBus>(fixture.session().environment().inhibitorBus());
    QVERIFY(bus);
    QVERIFY(fixture.run(steps));
    QCOMPARE(fixture.session().inhibitor().sleepInhibited(), awake);
    QCOMPARE(bus->held(QStringLiteral("sleep")), std::size_t(awake ? 1 : 0));
    QCOMPARE(bus->held(QStringLiteral("screen")), std::size_t(awake ? 1 : 0));
    if (awake)
        QCOMPARE(bus->lastWho, fixture.session().programTitle());
    fixture.destroySession();
    QCOMPARE(bus->held(QStringLiteral("sleep")) + bus->held(QStringLiteral("screen")),
             std::size_t(0));
}

QTEST_MAIN(TestRaceSessionAwake)
#include "tst_racesession_awake.moc"
