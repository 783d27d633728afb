#include "competition/Competition.h"
#include "competition/StageTables.h"
#include "competition/StartListCommands.h"

#include <QTest>

namespace Heat = StageTables::Heat;
namespace FinalStart = StageTables::FinalStart;

// Appending, eliminating and deleting results, on the tables alone.
class TestStartListCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addRowNumbersByPosition_data();
    void addRowNumbersByPosition();
    void eliminateFillsFreeHeatRuns_data();
    void eliminateFillsFreeHeatRuns();
    void deleteResultsByPage_data();
    void deleteResultsByPage();
};

namespace {

void fillRuns(Competition& c) {
    CompetitionTable& heat = c.heatStartList();
    heat.setRowsWithHeader(3);
    for (int r = 1; r <= 2; ++r) {
        heat.setRowCells(
            r, {QString::number(r), "N", "V", "C", "1", "", "1000", "1100", "1200", "900", "950"});
    }
    CompetitionTable& finals = c.finalStartList();
    finals.setRowsWithHeader(2);
    finals.setRowCells(1, {"1", "N", "V", "C", "1", "", "2100", "900", "950"});
}

QStringList nonEmptyRunColumns(const CompetitionTable& grid, const QList<int>& columns) {
    QStringList filled;
    for (int col : columns) {
        for (int r = 1; r < grid.rowsWithHeader(); ++r) {
            if (!grid.cell(col, r).isEmpty()) {
                filled.append(grid.cell(col, 0));
                break;
            }
        }
    }
    return filled;
}

} // namespace

void TestStartListCommands::addRowNumbersByPosition_data() {
    QTest::addColumn<int>("filledRows");
    QTest::addColumn<bool>("emptyLastRow");
    QTest::addColumn<int>("newRow");
    QTest::newRow("empty list") << 0 << true << 1;
    QTest::newRow("five rows") << 5 << false << 6;
    QTest::newRow("five rows and an empty one") << 5 << true << 6;
}

void TestStartListCommands::addRowNumbersByPosition() {
    QFETCH(int, filledRows);
    QFETCH(bool, emptyLastRow);
    QFETCH(int, newRow);
    Competition c;
    CompetitionTable& heat = c.heatStartList();
    heat.setRowsWithHeader(filledRows + (emptyLastRow && filledRows > 0 ? 2 : 1));
    for (int r = 1; r <= filledRows; ++r)
        heat.setCell(Heat::Nr, r, QString::number(40 + r));

    QCOMPARE(StartListCommands::AddRowBelow(heat), newRow);
    QCOMPARE(heat.rowsWithHeader(), newRow + 1);
    QCOMPARE(heat.rowCells(newRow), (QStringList{QString::number(newRow), "Name", "Vorname",
                                                 "Verein", "4", "", "", "", "", "", ""}));
    QCOMPARE(heat.cell(Heat::Nr, 1), filledRows ? QStringLiteral("41") : QStringLiteral("1"));
}

void TestStartListCommands::eliminateFillsFreeHeatRuns_data() {
    QTest::addColumn<QStringList>("runs");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("first run entered")
        << QStringList{"1012", "", ""} << QStringList{"1012", "-", "-"};
    QTest::newRow("blank and dash are free")
        << QStringList{" ", "-", "AUS"} << QStringList{"-", "-", "AUS"};
    QTest::newRow("all entered") << QStringList{"1", "2", "3"} << QStringList{"1", "2", "3"};
}

void TestStartListCommands::eliminateFillsFreeHeatRuns() {
    QFETCH(QStringList, runs);
    QFETCH(QStringList, after);
    Competition c;
    CompetitionTable& heat = c.heatStartList();
    heat.setRowCells(1, QStringList{"1", "N", "V", "C", "1", ""} + runs + QStringList{"", ""});
    StartListCommands::Eliminate(heat, 1);
    QCOMPARE(heat.rowCells(1).mid(Heat::Zeit1, 3), after);
    QCOMPARE(heat.cell(Heat::Zeit4, 1), QString());
    QCOMPARE(heat.cell(Heat::Zeit5, 1), QString());
}

void TestStartListCommands::deleteResultsByPage_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("heatRunsLeft");
    QTest::addColumn<QStringList>("finalRunsLeft");
    const QStringList allHeat{"Zeit1", "Zeit2", "Zeit3", "Zeit4", "Zeit5"};
    const QStringList allFinal{"G-Zeit", "Zeit4", "Zeit5"};
    QTest::newRow("heat start list") << 0 << QStringList{} << allFinal;
    QTest::newRow("heat results") << 1 << allHeat << allFinal;
    QTest::newRow("final start list")
        << 2 << QStringList{"Zeit1", "Zeit2", "Zeit3"} << QStringList{"G-Zeit"};
    QTest::newRow("final results") << 3 << allHeat << allFinal;
}

void TestStartListCommands::deleteResultsByPage() {
    QFETCH(int, page);
    QFETCH(QStringList, heatRunsLeft);
    QFETCH(QStringList, finalRunsLeft);
    Competition c;
    fillRuns(c);
    StartListCommands::DeleteResults(c, page);
    QCOMPARE(nonEmptyRunColumns(c.heatStartList(),
                                {Heat::Zeit1, Heat::Zeit2, Heat::Zeit3, Heat::Zeit4, Heat::Zeit5}),
             heatRunsLeft);
    QCOMPARE(nonEmptyRunColumns(c.finalStartList(),
                                {FinalStart::GZeit, FinalStart::Zeit4, FinalStart::Zeit5}),
             finalRunsLeft);
    QCOMPARE(c.heatStartList().cell(Heat::Name, 2), QStringLiteral("N"));
    QCOMPARE(c.heatStartList().cell(Heat::Zeit5, 0), QStringLiteral("Zeit5"));
}

QTEST_GUILESS_MAIN(TestStartListCommands)
#include "tst_startlistcommands.moc"
