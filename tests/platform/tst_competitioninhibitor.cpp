#include "mock/FakeInhibitorBus.h"
#include "platform/CompetitionInhibitor.h"

#include <QTest>

// When the machine is kept awake: from the first timing command until the clock is Ready
// again, and while an audience window is shown; late, refused and orphaned answers.
class TestCompetitionInhibitor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void followsTheCompetition_data();
    void followsTheCompetition();
    void lateAnswers_data();
    void lateAnswers();
    void answerAfterDestructionIsReleased();
};

namespace {

// Steps: a clock state ("Countdown", "Running", "Stopped": busy, "Ready": not), "tv+" and
// "tv-" for an audience window, each under a reason of its own.
void apply(CompetitionInhibitor& inhibitor, const QString& step) {
    if (step.startsWith(QLatin1String("tv"))) {
        inhibitor.setBusy(QStringLiteral("audience"), step.endsWith(u'+'));
        return;
    }
    inhibitor.setBusy(QStringLiteral("timing"), step != QLatin1String("Ready"));
}

void run(CompetitionInhibitor& inhibitor, const QStringList& steps) {
    for (const QString& step : steps)
        apply(inhibitor, step);
}

} // namespace

void TestCompetitionInhibitor::followsTheCompetition_data() {
    QTest::addColumn<bool>("grant");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("held");
    QTest::addColumn<QStringList>("calls");
    const QStringList both{"sleep+", "screen+"};
    const QStringList released{"sleep+", "screen+", "sleep-", "screen-"};
    QTest::newRow("start-up") << true << QStringList{"Ready"} << false << QStringList{};
    QTest::newRow("countdown into run, stopped: one request")
        << true << QStringList{"Countdown", "Running", "Stopped"} << true << both;
    QTest::newRow("run entered") << true << QStringList{"Running", "Stopped", "Ready"} << false
                                 << released;
    QTest::newRow("second run") << true << QStringList{"Running", "Ready", "Running"} << true
                                << released + both;
    QTest::newRow("tv window alone") << true << QStringList{"tv+"} << true << both;
    QTest::newRow("tv window outlasts the run")
        << true << QStringList{"tv+", "Running", "Ready"} << true << both;
    QTest::newRow("tv window closed during the run")
        << true << QStringList{"tv+", "Running", "tv-"} << true << both;
    QTest::newRow("tv window closed after the run")
        << true << QStringList{"tv+", "Running", "Ready", "tv-"} << false << released;
    QTest::newRow("refused: not asked again during the run")
        << false << QStringList{"Running", "Stopped", "tv+"} << false << both;
    QTest::newRow("refused: asked again at the next run")
        << false << QStringList{"Running", "Ready", "Running"} << false << both + both;
}

void TestCompetitionInhibitor::followsTheCompetition() {
    QFETCH(bool, grant);
    QFETCH(QStringList, steps);
    QFETCH(bool, held);
    QFETCH(QStringList, calls);
    auto bus = std::make_shared<FakeInhibitorBus>();
    bus->reply = grant ? FakeInhibitorBus::Reply::Grant : FakeInhibitorBus::Reply::Refuse;
    CompetitionInhibitor inhibitor(QStringLiteral("Velmora"), bus);
    run(inhibitor, steps);
    QCOMPARE(bus->calls, calls);
    QCOMPARE(inhibitor.sleepInhibited(), held);
    QCOMPARE(inhibitor.screenSaverInhibited(), held);
    QCOMPARE(bus->held(QStringLiteral("sleep")) + bus->held(QStringLiteral("screen")),
             std::size_t(held ? 2 : 0));
}

void TestCompetitionInhibitor::lateAnswers_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<bool>("grant");
    QTest::addColumn<bool>("held");
    QTest::newRow("granted during the run") << QStringList{"Running"} << true << true;
    QTest::newRow("granted after the run ended")
        << QStringList{"Running", "Stopped", "Ready"} << true << false;
    QTest::newRow("run ended and began again")
        << QStringList{"Running", "Ready", "Running"} << true << true;
    QTest::newRow("refused") << QStringList{"Running"} << false << false;
}

void TestCompetitionInhibitor::lateAnswers() {
    QFETCH(QStringList, before);
    QFETCH(bool, grant);
    QFETCH(bool, held);
    auto bus = std::make_shared<FakeInhibitorBus>();
    bus->reply = FakeInhibitorBus::Reply::Later;
    CompetitionInhibitor inhibitor(QStringLiteral("Velmora"), bus);
    run(inhibitor, before);
    // One request of each kind, however often the state changed meanwhile.
    QCOMPARE(bus->waiting(), 2);
    bus->answerLater(grant);
    QCOMPARE(inhibitor.sleepInhibited(), held);
    QCOMPARE(inhibitor.screenSaverInhibited(), held);
    // A lock granted when nothing needs it any more is given back at once.
    QCOMPARE(bus->held(QStringLiteral("sleep")) + bus->held(QStringLiteral("screen")),
             std::size_t(held ? 2 : 0));
}

void TestCompetitionInhibitor::answerAfterDestructionIsReleased() {
    auto bus = std::make_shared<FakeInhibitorBus>();
    bus->reply = FakeInhibitorBus::Reply::Later;
    std::make_unique<CompetitionInhibitor>(QStringLiteral("Velmora"), bus)
        ->setBusy(QStringLiteral("audience"), true);
    bus->answerLater(true);
    QCOMPARE(bus->held(QStringLiteral("sleep")) + bus->held(QStringLiteral("screen")),
             std::size_t(0));
}

QTEST_GUILESS_MAIN(TestCompetitionInhibitor)
#include "tst_competitioninhibitor.moc"
