#include "competition/Competition.h"
#include "competition/StageDerivation.h"
#include "live/LiveSnapshotBuilder.h"
#include "mock/FakeTickSource.h"
#include "mock/HeatStartListBuilder.h"
#include "timing/RunClock.h"
#include "timing/TimingSettings.h"

#include <QTest>

// What the live pages get from the tables and the run clock.
class TestLiveSnapshotBuilder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stagesShowTheScreenColumns_data();
    void stagesShowTheScreenColumns();
    void emptyRowsAreLeftOut();
    void cellMarks_data();
    void cellMarks();
    void onlyRankedTeams();
    void top3AsTheTvWindowLists();
    void clockStates_data();
    void clockStates();
};

void TestLiveSnapshotBuilder::stagesShowTheScreenColumns_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("lastCaption");
    QTest::newRow("heat start list") << 0 << "Vorlauf-Startliste" << 9 << "Zeit3";
    QTest::newRow("heat results") << 1 << "Vorlauf-Ergebnisse" << 10 << "G-Zeit";
    QTest::newRow("final start list") << 2 << "Endlauf-Startliste" << 9 << "Zeit5";
    QTest::newRow("final results") << 3 << "Endlauf-Ergebnisse" << 11 << "Endzeit";
}

void TestLiveSnapshotBuilder::stagesShowTheScreenColumns() {
    QFETCH(int, page);
    QFETCH(QString, caption);
    QFETCH(int, columns);
    QFETCH(QString, lastCaption);
    Competition c;
    c.writeHeatStartListHeader();
    c.writeDerivedHeaders();
    for (int nr = 1; nr <= 4; ++nr)
        HeatStartListBuilder::addRunner(c, nr, QStringLiteral("1"), 1000 + nr, {},
                                        {QStringLiteral("900"), QStringLiteral("901")});
    StageDerivation(c).deriveAll();
    FakeTickSource ticks;
    RunClock clock(ticks);
    const LiveSnapshot snapshot = LiveSnapshotBuilder::build(c, clock, {});
    const LiveSnapshot::Table& table = snapshot.stages[page];
    QCOMPARE(table.caption, caption);
    QCOMPARE(table.header.size(), columns);
    QCOMPARE(table.header.last(), lastCaption);
    QCOMPARE(table.rows.size(), 4);
    for (const QStringList& row : table.rows)
        QCOMPARE(row.size(), columns);
    QCOMPARE(table.rows.first(), c.stageTable(page).rowCells(1).mid(0, columns));
}

void TestLiveSnapshotBuilder::emptyRowsAreLeftOut() {
    Competition c;
    c.writeHeatStartListHeader();
    const LiveSnapshot::Table empty =
        LiveSnapshotBuilder::stageTable(c.heatStartList(), QStringLiteral("  X  "));
    QCOMPARE(empty.caption, QStringLiteral("X"));
    QVERIFY(empty.rows.isEmpty());
    HeatStartListBuilder::add(c, {QStringLiteral("5"), QStringLiteral("Huber")});
    c.heatStartList().setRowsWithHeader(5);
    const LiveSnapshot::Table one = LiveSnapshotBuilder::stageTable(c.heatStartList(), {});
    QCOMPARE(one.rows.size(), 1);
    QCOMPARE(one.rows.first().at(1), QStringLiteral("Huber"));
}

void TestLiveSnapshotBuilder::cellMarks_data() {
    QTest::addColumn<QString>("run1");
    QTest::addColumn<bool>("substitute");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("marks"); // "row:column=mark ..."
    // Competitor 11, named "DNS", runs run1, 1000 and 1100 beside a competitor with 1200 each.
    QTest::newRow("state in a run") << "DNF" << false << 0 << "1:6=DNF";
    QTest::newRow("state as the heat total") << "DSQ" << false << 1 << "1:9=DSQ";
    QTest::newRow("plain time") << "1050" << false << 1 << "";
    QTest::newRow("substitute time") << "1050" << true << 0 << "1:6=substitute";
    QTest::newRow("counted substitute, not its total") << "1050" << true << 1 << "0:7=substitute";
}

void TestLiveSnapshotBuilder::cellMarks() {
    QFETCH(QString, run1);
    QFETCH(bool, substitute);
    QFETCH(int, page);
    QFETCH(QString, marks);
    Competition c;
    c.writeHeatStartListHeader();
    c.writeDerivedHeaders();
    HeatStartListBuilder::addRunner(c, 5, QStringLiteral("1"), 1200);
    HeatStartListBuilder::add(c, {"11", "DNS", "Eva", "SC", "1", "", run1, "1000", "1100"});
    if (substitute)
        c.substituteMarks().add({QStringLiteral("11"), 0, run1});
    StageDerivation(c).deriveAll();
    QStringList shown;
    const LiveSnapshot::Table table = LiveSnapshotBuilder::stageTable(c, page, {});
    for (auto row = table.marks.cbegin(); row != table.marks.cend(); ++row)
        for (auto col = row->cbegin(); col != row->cend(); ++col)
            shown.append(QStringLiteral("%1:%2=%3").arg(row.key()).arg(col.key()).arg(*col));
    QCOMPARE(shown.join(u' '), marks);
}

void TestLiveSnapshotBuilder::onlyRankedTeams() {
    CompetitionTable teams(5);
    teams.setRowsWithHeader(4);
    teams.setRowCells(1, {"77,5", "SC Süd", "A B : 25", "C D : 26", "E F : 26,5"});
    teams.setRowCells(2, {"78", "TV Nord", "G H : 25", "I J : 26", "K L : 27"});
    // Row 3 stays blank: a team of two.
    const LiveSnapshot::Table table = LiveSnapshotBuilder::teamTable(teams);
    QCOMPARE(table.header, (QStringList{"Pl.", "Verein / Ort", "Summe", "1.", "2.", "3."}));
    QCOMPARE(table.rows.size(), 2);
    QCOMPARE(table.rows.at(0),
             (QStringList{"1", "SC Süd", "77,5", "A B : 25", "C D : 26", "E F : 26,5"}));
    QCOMPARE(table.rows.at(1).at(0), QStringLiteral("2"));
    QCOMPARE(table.rows.at(1).at(1), QStringLiteral("TV Nord"));
}

void TestLiveSnapshotBuilder::top3AsTheTvWindowLists() {
    Competition c;
    c.writeDerivedHeaders();
    CompetitionTable& results = c.finalResults();
    results.setRowsWithHeader(4);
    results.setRowCells(1, {"1", "7", "Meier", "Eva", "SC", "1", "+", "50", "20", "21", "91"});
    results.setRowCells(2, {"2", "9", "Kurz", "Jo", "TV", "1", "", "52", "20", "21", "93"});
    results.setRowCells(3, {"1", "4", "<Lang>", "Ute", "SV", "2", "", "60", "30", "31", "121"});
    const QList<LiveSnapshot::Top3Row> rows = LiveSnapshotBuilder::top3(results);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).place, QStringLiteral("1."));
    QCOMPARE(rows.at(0).number, QStringLiteral("7"));
    QCOMPARE(rows.at(0).name, QStringLiteral("Meier Eva"));
    QCOMPARE(rows.at(0).klass, QStringLiteral("1"));
    QCOMPARE(rows.at(0).champion, QStringLiteral("+"));
    QCOMPARE(rows.at(0).time, QStringLiteral("91"));
    QCOMPARE(rows.at(2).name, QStringLiteral("<Lang> Ute"));
    QCOMPARE(rows.at(2).klass, QStringLiteral("2"));
}

void TestLiveSnapshotBuilder::clockStates_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("stoppedMs");
    QTest::addColumn<int>("intermediateMs");
    QTest::newRow("ready") << QStringList{} << "ready" << -1 << -1;
    QTest::newRow("countdown") << QStringList{"timer"} << "countdown" << -1 << -1;
    QTest::newRow("running") << QStringList{"start"} << "running" << -1 << -1;
    QTest::newRow("running after the intermediate")
        << QStringList{"start", "lap"} << "running" << -1 << 1230;
    QTest::newRow("stopped") << QStringList{"start", "stop"} << "stopped" << 1230 << -1;
    QTest::newRow("stopped after the intermediate")
        << QStringList{"start", "lap", "stop"} << "stopped" << 2460 << 1230;
    QTest::newRow("entered") << QStringList{"start", "stop", "enter"} << "ready" << -1 << -1;
}

void TestLiveSnapshotBuilder::clockStates() {
    QFETCH(QStringList, steps);
    QFETCH(QString, state);
    QFETCH(int, stoppedMs);
    QFETCH(int, intermediateMs);
    FakeTickSource ticks(FakeTickSource::justBelowWrapMicroseconds);
    RunClock clock(ticks);
    TimingSettings settings;
    settings.timerMs = 10000;
    clock.startUp(settings);
    for (const QString& step : steps) {
        if (step == QLatin1String("timer"))
            clock.beginCountdown();
        else if (step == QLatin1String("start"))
            clock.start();
        else if (step == QLatin1String("lap"))
            clock.lap();
        else if (step == QLatin1String("stop"))
            clock.stop();
        else if (step == QLatin1String("enter"))
            clock.enter();
        ticks.advanceMicroseconds(1'230'400);
    }
    using State = LiveSnapshot::Clock::State;
    const LiveSnapshot::Clock live = LiveSnapshotBuilder::clockOf(clock);
    const QHash<QString, State> names{{"ready", State::Ready},
                                      {"countdown", State::Countdown},
                                      {"running", State::Running},
                                      {"stopped", State::Stopped}};
    QCOMPARE(live.state, names.value(state));
    if (state != QLatin1String("ready"))
        QCOMPARE(live.startMs, FakeTickSource::justBelowWrapMicroseconds / 1000.0);
    QCOMPARE(live.countdownMs, state == QLatin1String("countdown") ? 10000 : 0);
    QCOMPARE(live.stoppedMs.value_or(-1), stoppedMs);
    QCOMPARE(live.intermediateMs.value_or(-1), intermediateMs);
}

QTEST_GUILESS_MAIN(TestLiveSnapshotBuilder)
#include "tst_livesnapshotbuilder.moc"
