#include "competition/Competition.h"
#include "competition/RunState.h"
#include "competition/StageDerivation.h"
#include "competition/StageTables.h"

#include <QTest>

// Ranking when runs hold "DNS", "DNF" or "DSQ" instead of a time.
class TstRunStates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stateText_data();
    void stateText();
    void heatRanking_data();
    void heatRanking();
    void finalRanking_data();
    void finalRanking();
    void teamNeverCountsUnranked();
};

using namespace StageTables;

namespace {

// "Nr;Kl.;Verein;Zeit1;Zeit2;Zeit3;Zeit4;Zeit5", one competitor each.
void fill(Competition& c, const QStringList& competitors) {
    for (const QString& line : competitors) {
        const QStringList f = line.split(u';');
        QStringList cells{f[0], "N" + f[0], "V" + f[0], f[2], f[1], QString()};
        cells += f.mid(3);
        c.heatStartList().appendRow(cells);
    }
}

// "Pl. Nr. total" for every row of a results table.
QStringList ranking(const CompetitionTable& grid, int totalColumn) {
    QStringList rows;
    for (int r = 1; r < grid.rowsWithHeader(); ++r) {
        if (!grid.isRowEmpty(r))
            rows.append(grid.cell(0, r) + u' ' + grid.cell(1, r) + u' ' +
                        grid.cell(totalColumn, r));
    }
    return rows;
}

QStringList dataColumn(const CompetitionTable& grid, int col) {
    QStringList cells = grid.column(col).mid(1);
    cells.removeAll(QString());
    return cells;
}

} // namespace

void TstRunStates::stateText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind"); // -1: no state
    QTest::newRow("DNS") << "DNS" << int(RunState::DNS);
    QTest::newRow("DNF") << "DNF" << int(RunState::DNF);
    QTest::newRow("DSQ") << "DSQ" << int(RunState::DSQ);
    QTest::newRow("blanks around") << " DNF " << int(RunState::DNF);
    QTest::newRow("lower case") << "dnf" << -1;
    QTest::newRow("longer") << "DNFX" << -1;
    QTest::newRow("eliminated") << "-" << -1;
    QTest::newRow("AUS") << "AUS" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TstRunStates::stateText() {
    QFETCH(QString, text);
    QFETCH(int, kind);
    const auto state = RunState::fromText(text);
    QCOMPARE(state ? int(*state) : -1, kind);
    if (state)
        QCOMPARE(RunState::text(*state), text.trimmed());
    // A state is no time and no free cell: result entry never writes over it.
    QCOMPARE(TimeFormat(1, u',').ParseTime(text) == 0, true);
    if (state)
        QVERIFY(!TimeFormat::isFreeTimeCell(text));
}

void TstRunStates::heatRanking_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QStringList>("competitors");
    QTest::addColumn<QStringList>("expected"); // heat results: "Pl. Nr. G-Zeit"
    QTest::addColumn<int>("errors");
    QTest::addColumn<QStringList>("finalists"); // start numbers in the final start list

    QTest::newRow("one state is the dropped run")
        << 1 << QStringList{"1;1;A;12,00;DNS;11,00", "2;1;A;10,00;13,00;12,00"}
        << QStringList{"1 2 22,00", "2 1 23,00"} << 0 << QStringList{"1", "2"};
    QTest::newRow("one state, hundredths")
        << 0 << QStringList{"1;1;A;DNF;1100;1100", "2;1;A;1000;1300;1200"}
        << QStringList{"1 1 2200", "1 2 2200"} << 0 << QStringList{"1", "2"};
    QTest::newRow("two states: unranked at the end of the class")
        << 1
        << QStringList{"1;1;A;DNS;DNF;10,00", "2;1;A;20,00;20,00;20,00", "3;2;A;15,00;15,00;15,00"}
        << QStringList{"1 2 40,00", " 1 DNF", "1 3 30,00"} << 0 << QStringList{"2", "3"};
    QTest::newRow("three states show the heaviest")
        << 0 << QStringList{"1;1;A;DNS;DSQ;DNF", "2;1;A;900;900;900"}
        << QStringList{"1 2 1800", " 1 DSQ"} << 0 << QStringList{"2"};
    QTest::newRow("DSQ alone is enough")
        << 1 << QStringList{"1;1;A;10,00;DSQ;11,00", "2;1;A;20,00;20,00;20,00"}
        << QStringList{"1 2 40,00", " 1 DSQ"} << 0 << QStringList{"2"};
    QTest::newRow("DSQ with runs still open")
        << 1 << QStringList{"1;1;A;DSQ;;", "2;1;A;20,00;20,00;20,00"}
        << QStringList{"1 2 40,00", " 1 DSQ"} << 0 << QStringList{"2"};
    QTest::newRow("one state and an open run is an error row")
        << 1 << QStringList{"1;1;A;DNS;10,00;", "2;1;A;20,00;20,00;20,00"}
        << QStringList{"1 2 40,00"} << 1 << QStringList{"2"};
    QTest::newRow("eliminated row stays an error row")
        << 1 << QStringList{"1;1;A;10,00;-;-", "2;1;A;DNS;DNS;DNS"} << QStringList{" 2 DNS"} << 1
        << QStringList{};
    QTest::newRow("unranked rows keep their order, every class its own end")
        << 0
        << QStringList{"1;2;A;DNS;DNS;DNS", "2;1;A;DNF;DNF;DNF", "3;2;A;500;500;500", "4;1;A;DSQ;;",
                       "5;1;A;600;600;600"}
        << QStringList{"1 5 1200", " 2 DNF", " 4 DSQ", "1 3 1000", " 1 DNS"} << 0
        << QStringList{"5", "3"};
    QTest::newRow("ties with a dropped state share the place")
        << 1
        << QStringList{"1;1;A;10,00;DNF;10,00", "2;1;A;10,00;10,00;10,00", "3;1;A;DNS;DNS;10,00"}
        << QStringList{"1 1 20,00", "1 2 20,00", " 3 DNS"} << 0 << QStringList{"1", "2"};
}

void TstRunStates::heatRanking() {
    QFETCH(int, setting);
    QFETCH(QStringList, competitors);
    QFETCH(QStringList, expected);
    QFETCH(int, errors);
    QFETCH(QStringList, finalists);
    Competition c(TimeFormat(setting, u','));
    fill(c, competitors);
    StageDerivation(c).deriveAll();
    QCOMPARE(ranking(c.heatResults(), HeatRes::GZeit), expected);
    QCOMPARE(c.stageMessage(1).isEmpty(), errors == 0);
    if (errors > 0)
        QVERIFY(c.stageMessage(1).startsWith("Es sind " + QString::number(errors) + " Fehler"));
    QCOMPARE(dataColumn(c.finalStartList(), FinalStart::Nr), finalists);
}

void TstRunStates::finalRanking_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QStringList>("competitors");
    QTest::addColumn<QStringList>("expected"); // final results: "Pl. Nr. Endzeit"

    QTest::newRow("state after every full total")
        << 1
        << QStringList{"1;1;A;10,00;10,00;10,00;DNF;", "2;1;A;20,00;20,00;20,00;10,00;10,00",
                       "3;1;A;30,00;30,00;30,00;10,00;10,00"}
        << QStringList{"1 2 60,00", "2 3 80,00", " 1 DNF"};
    QTest::newRow("heaviest of the two final runs")
        << 0 << QStringList{"1;1;A;1000;1000;1000;DNS;DSQ", "2;1;A;1000;1000;1000;DNF;1000"}
        << QStringList{" 1 DSQ", " 2 DNF"};
    QTest::newRow("missing final run without state stays absent")
        << 1 << QStringList{"1;1;A;10,00;10,00;10,00;10,00;", "2;1;A;20,00;20,00;20,00;DNS;10,00"}
        << QStringList{" 2 DNS"};
    QTest::newRow("per class") << 0
                               << QStringList{"1;2;A;1000;1000;1000;DNF;DNF",
                                              "2;1;A;1000;1000;1000;DSQ;",
                                              "3;2;A;1000;1000;1000;500;500",
                                              "4;1;A;1000;1000;1000;400;400"}
                               << QStringList{"1 4 2800", " 2 DSQ", "1 3 3000", " 1 DNF"};
    QTest::newRow("ties among finishers before the state")
        << 1
        << QStringList{"1;1;A;10,00;10,00;10,00;5,00;5,00", "2;1;A;10,00;10,00;10,00;5,00;5,00",
                       "3;1;A;10,00;10,00;10,00;5,00;DNS"}
        << QStringList{"1 1 30,00", "1 2 30,00", " 3 DNS"};
}

void TstRunStates::finalRanking() {
    QFETCH(int, setting);
    QFETCH(QStringList, competitors);
    QFETCH(QStringList, expected);
    Competition c(TimeFormat(setting, u','));
    fill(c, competitors);
    StageDerivation(c).deriveAll();
    QCOMPARE(ranking(c.finalResults(), FinalRes::Endzeit), expected);
}

void TstRunStates::teamNeverCountsUnranked() {
    Competition c(TimeFormat(1, u','));
    // Club A has three members with a total but its fastest one is unranked; club B three.
    fill(c, {"1;1;A;5,00;DNS;DNF", "2;1;A;10,00;10,00;10,00", "3;1;A;11,00;11,00;11,00",
             "4;1;B;12,00;12,00;12,00", "5;1;B;12,00;12,00;12,00", "6;1;B;12,00;DNS;12,00",
             "7;1;A;13,00;13,00;13,00"});
    StageDerivation(c).deriveAll();
    const CompetitionTable& teams = c.teams();
    QCOMPARE(dataColumn(teams, 1), QStringList({"A", "B"}));
    QCOMPARE(dataColumn(teams, 0), QStringList({"68", "72"}));
}

QTEST_GUILESS_MAIN(TstRunStates)
#include "tst_runstates.moc"
