#include "competition/Competition.h"
#include "competition/StageDerivation.h"
#include "competition/StageTables.h"
#include "mock/HeatStartListBuilder.h"

#include <QSignalSpy>
#include <QTest>

// Heat results, final start list and final results rebuilt from the heat start list.
class TstDerivation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countedRuns_data();
    void countedRuns();
    void missingRunsRemoveRows_data();
    void missingRunsRemoveRows();
    void emptyHeatStartList();
    void blankRowsAreNoErrors_data();
    void blankRowsAreNoErrors();
    void capturesCaptionsOfHeatStartList();
    void heatResultsByClassAndTotal();
    void heatResultsStaySortable();
    void signalAfterEveryStage();
    void oneModelResetPerTable();
    void finalistsPerClass();
    void finalistsAfterHeaderSort();
    void championsFirst();
    void finalStartOrder();
    void finalRunsFollowStartNumber();
    void finalResults();
    void finalistWithOneRunHasNoResult();
    void equalEndTimesByFirstRun();
    void rebuiltFromScratch();
    void secondsFormatWithComma();
};

using namespace HeatStartListBuilder;

void TstDerivation::countedRuns_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QStringList>("runs");
    QTest::addColumn<QStringList>("expected"); // Zeit1, Zeit2, G-Zeit

    QTest::newRow("slowest last") << 1 << QStringList{"12,00", "11,00", "13,00"}
                                  << QStringList{"12,00", "11,00", "23,00"};
    QTest::newRow("earliest of equal slowest dropped")
        << 1 << QStringList{"12,00", "13,00", "13,00"} << QStringList{"12,00", "13,00", "25,00"};
    QTest::newRow("all equal keep runs 2 and 3")
        << 1 << QStringList{"13,00", "13,00", "13,00"} << QStringList{"13,00", "13,00", "26,00"};
    QTest::newRow("slowest first")
        << 1 << QStringList{"9,99", "8,11", "8,12"} << QStringList{"8,11", "8,12", "16,23"};
    QTest::newRow("text normalised")
        << 1 << QStringList{"8,119", " 9,5", "12"} << QStringList{"8,11", "9,50", "17,61"};
    QTest::newRow("hundredths") << 0 << QStringList{"1200", "1100", "1300"}
                                << QStringList{"1200", "1100", "2300"};
    QTest::newRow("negative run counts")
        << 0 << QStringList{"-5", "10", "20"} << QStringList{"-5", "10", "5"};
}

void TstDerivation::countedRuns() {
    QFETCH(int, setting);
    QFETCH(QStringList, runs);
    QFETCH(QStringList, expected);
    Competition c(TimeFormat(setting, u','));
    add(c, QStringList{"1", "A", "B", "C", "1", ""} + runs);
    StageDerivation(c).deriveStage(1);
    const CompetitionTable& results = c.heatResults();
    QCOMPARE(results.rowsWithHeader(), 2);
    QCOMPARE(results.rowCells(1).mid(7), expected);
    QCOMPARE(results.cell(0, 1), QStringLiteral("1"));
    QCOMPARE(c.stageMessage(1), QString());
}

void TstDerivation::missingRunsRemoveRows_data() {
    QTest::addColumn<QString>("bad");
    QTest::newRow("dash") << "-";
    QTest::newRow("AUS") << "AUS";
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << " ";
    QTest::newRow("zero") << "0,00";
    QTest::newRow("point under comma") << "10.24";
    QTest::newRow("garbage") << "12,3x";
}

void TstDerivation::missingRunsRemoveRows() {
    QFETCH(QString, bad);
    Competition c(TimeFormat(1, u','));
    add(c, {"1", "A", "a", "X", "1", "", "10,00", "10,00", "10,00"});
    add(c, {"2", "B", "b", "X", "1", "", "10,00", bad, "10,00"});
    add(c, {"3", "C", "c", "X", "1", "", "11,00", "11,00", "11,00"});
    add(c, {"4", "D", "d", "X", "1", "", bad, "11,00", "11,00"});
    StageDerivation(c).deriveStage(1);
    QCOMPARE(dataColumn(c.heatResults(), 1), QStringList({"1", "3"}));
    QCOMPARE(c.stageMessage(1), QStringLiteral("Es sind 2") + Message);
    QCOMPARE(c.stageMessage(2), QString());
    QCOMPARE(c.stageMessage(3), QString());
}

void TstDerivation::emptyHeatStartList() {
    Competition c;
    // Leftovers of an earlier derivation must all go.
    c.heatResults().setRowCells(1, {"1", "5", "x", "y", "z", "1", "", "1", "1", "2"});
    c.teams().setRowCells(1, {"1", "z"});
    c.finalStartList().setRowCells(1, {"5", "x"});
    c.finalResults().setRowCells(1, {"1", "5", "x"});
    StageDerivation derivation(c);
    derivation.deriveAll();
    // The one blank row of a new protocol is nobody's and so no error.
    QCOMPARE(c.stageMessage(1), QString());
    for (const CompetitionTable* grid :
         {&c.heatResults(), &c.teams(), &c.finalStartList(), &c.finalResults()}) {
        QCOMPARE(grid->rowsWithHeader(), 2);
        QVERIFY(grid->isRowEmpty(1));
    }
    QCOMPARE(c.heatResults().cell(9, 0), QStringLiteral("G-Zeit"));
}

void TstDerivation::blankRowsAreNoErrors_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QString>("blank");
    QTest::newRow("1024, empty cells") << 0 << QString();
    QTest::newRow("10,24, blanks") << 1 << " ";
}

void TstDerivation::blankRowsAreNoErrors() {
    QFETCH(int, setting);
    QFETCH(QString, blank);
    Competition c(TimeFormat(setting, u','));
    CompetitionTable& heat = c.heatStartList();
    heat.setRowsWithHeader(3);
    heat.setRowCells(1, {"1", "A", "a", "X", "1", "", "1024", "1100", "1200"});
    heat.setRowCells(2, QStringList(11, blank));
    StageDerivation(c).deriveStage(1);
    QCOMPARE(c.stageMessage(1), QString());
    // Anything at all in a row without a total makes it an error again.
    heat.setCell(StageTables::Heat::Meister, 2, "+");
    StageDerivation(c).deriveStage(1);
    QCOMPARE(c.stageMessage(1), QStringLiteral("Es sind 1") + Message);
}

void TstDerivation::capturesCaptionsOfHeatStartList() {
    Competition c;
    QCOMPARE(c.heatResults().cell(4, 0), QStringLiteral("Verein / Ort"));
    addRunner(c, 1, "1", 1000);
    StageDerivation(c).deriveStage(1);
    QCOMPARE(c.heatResults().rowCells(0),
             QStringList({"Pl.", "Nr.", "Name", "Vorname", "Verein/Ort", "Kl.", "Meister", "Zeit1",
                          "Zeit2", "G-Zeit"}));
    c.heatStartList().setCell(1, 0, "Familienname");
    StageDerivation(c).deriveStage(1);
    QCOMPARE(c.heatResults().cell(2, 0), QStringLiteral("Familienname"));
}

void TstDerivation::heatResultsByClassAndTotal() {
    Competition c;
    addRunner(c, 1, "2", 1100);
    addRunner(c, 2, "1", 1300);
    addRunner(c, 3, "10", 900);
    addRunner(c, 4, "2", 1000);
    addRunner(c, 5, "1", 1300);
    addRunner(c, 6, "1", 1200);
    StageDerivation(c).deriveStage(1);
    const CompetitionTable& results = c.heatResults();
    QCOMPARE(dataColumn(results, 1), QStringList({"6", "2", "5", "4", "1", "3"}));
    QCOMPARE(dataColumn(results, 0), QStringList({"1", "2", "2", "1", "2", "1"}));
    QCOMPARE(dataColumn(results, 9), QStringList({"2400", "2600", "2600", "2000", "2200", "1800"}));
    QVERIFY(results.sortOptions().canSort);
    QCOMPARE(results.sortOptions().column, 5);
}

void TstDerivation::heatResultsStaySortable() {
    Competition c;
    addRunner(c, 1, "1", 1100);
    addRunner(c, 2, "1", 1000);
    StageDerivation derivation(c);
    derivation.deriveAll();
    CompetitionTable& results = c.heatResults();
    results.sortOptions().direction = sdDescending;
    results.sortByColumn(9);
    QCOMPARE(dataColumn(results, 1), QStringList({"1", "2"}));
    // The user's order changes only what is shown; the next derivation sorts ascending again.
    QCOMPARE(dataColumn(results, 0), QStringList({"2", "1"}));
    derivation.deriveAll();
    QCOMPARE(dataColumn(results, 1), QStringList({"2", "1"}));
    QCOMPARE(results.sortOptions().direction, sdAscending);
    QCOMPARE(dataColumn(results, 0), QStringList({"1", "2"}));
    QVERIFY(!c.finalStartList().sortOptions().canSort);
    QVERIFY(!c.finalResults().sortOptions().canSort);
}

void TstDerivation::signalAfterEveryStage() {
    Competition c;
    StageDerivation derivation(c);
    QSignalSpy spy(&derivation, &StageDerivation::stageDerived);
    derivation.deriveAll();
    QCOMPARE(spy.count(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(spy.at(i).at(0).toInt(), i + 1);
    addRunner(c, 1, "1", 1000, {}, {"900", "800"});
    derivation.deriveAll();
    QCOMPARE(spy.count(), 6);
    derivation.deriveStage(0);
    derivation.deriveStage(4);
    QCOMPARE(spy.count(), 6);
    // The message is in place when the signal arrives.
    c.heatStartList().setCell(6, 1, "-");
    QString seen;
    connect(&derivation, &StageDerivation::stageDerived, this,
            [&](int) { seen = c.stageMessage(1); });
    derivation.deriveStage(3);
    QCOMPARE(seen, QString());
    derivation.deriveStage(1);
    QCOMPARE(seen, QStringLiteral("Es sind 1") + Message);
}

void TstDerivation::oneModelResetPerTable() {
    Competition c;
    for (int i = 1; i <= 30; ++i)
        addRunner(c, i, QString::number(i % 4 + 1), 1000 + i, {}, {"900", "900"});
    add(c, {"99", "Bad", "", "", "1", "", "-", "", ""});
    StageDerivation derivation(c);
    QSignalSpy heat(&c.heatResults(), &QAbstractItemModel::modelReset);
    QSignalSpy finals(&c.finalStartList(), &QAbstractItemModel::modelReset);
    QSignalSpy results(&c.finalResults(), &QAbstractItemModel::modelReset);
    QSignalSpy changed(&c.heatResults(), &QAbstractItemModel::dataChanged);
    derivation.deriveAll();
    QCOMPARE(heat.count(), 1);
    QCOMPARE(finals.count(), 1);
    QCOMPARE(results.count(), 1);
    QCOMPARE(changed.count(), 0);
}

void TstDerivation::finalistsPerClass() {
    Competition c;
    for (int i = 1; i <= 12; ++i)
        addRunner(c, i, "1", 1000 + i);
    for (int i = 13; i <= 15; ++i)
        addRunner(c, i, "3", 1000 + i);
    StageDerivation(c).deriveAll();
    const CompetitionTable& finals = c.finalStartList();
    QCOMPARE(finals.rowsWithHeader(), 14);
    QCOMPARE(dataColumn(finals, 4).count("1"), 10);
    QCOMPARE(dataColumn(finals, 4).count("3"), 3);
    QVERIFY(finals.findRow(0, "11") < 0);
    QVERIFY(finals.findRow(0, "12") < 0);
    QCOMPARE(finals.rowCells(0), QStringList({"Nr.", "Name", "Vorname", "Verein / Ort", "Kl.",
                                              "Meister", "G-Zeit", "Zeit4", "Zeit5"}));
}

void TstDerivation::finalistsAfterHeaderSort() {
    Competition c;
    for (int i = 1; i <= 12; ++i)
        addRunner(c, i, "1", 1000 + i);
    StageDerivation derivation(c);
    derivation.deriveStage(1);
    // A click on the "G-Zeit" caption turns the heat results upside down; the final start
    // list still takes the ten fastest.
    CompetitionTable& results = c.heatResults();
    results.sortOptions().direction = sdDescending;
    results.sortByColumn(9);
    QCOMPARE(results.cell(1, 1), QStringLiteral("12"));
    derivation.deriveStage(2);
    QStringList numbers = dataColumn(c.finalStartList(), 0);
    QCOMPARE(numbers, QStringList({"10", "9", "8", "7", "6", "5", "4", "3", "2", "1"}));
    // A click on "Kl." (ascending) leaves the derived order.
    results.sortOptions().direction = sdAscending;
    results.sortByColumn(5);
    derivation.deriveStage(2);
    QCOMPARE(dataColumn(c.finalStartList(), 0), numbers);
}

void TstDerivation::championsFirst() {
    Competition c;
    for (int i = 1; i <= 15; ++i)
        addRunner(c, i, "2", 1000 + i, i >= 14 ? QStringLiteral("+") : QString());
    StageDerivation(c).deriveAll();
    const QStringList numbers = dataColumn(c.finalStartList(), 0);
    QCOMPARE(numbers.size(), 10);
    QVERIFY(numbers.contains("14"));
    QVERIFY(numbers.contains("15"));
    for (int i = 1; i <= 8; ++i)
        QVERIFY(numbers.contains(QString::number(i)));
    QVERIFY(!numbers.contains("9"));
    // Starting order by heat total, slowest first: the champions start first.
    QCOMPARE(numbers.mid(0, 3), QStringList({"15", "14", "8"}));
}

void TstDerivation::finalStartOrder() {
    Competition c;
    addRunner(c, 1, "1", 1000);
    addRunner(c, 2, "2", 1050);
    addRunner(c, 3, "1", 1100);
    addRunner(c, 4, "1", 1050);
    addRunner(c, 5, "2", 1000);
    addRunner(c, 6, "1", 1050);
    StageDerivation(c).deriveAll();
    const CompetitionTable& finals = c.finalStartList();
    QCOMPARE(dataColumn(finals, 6), QStringList({"2200", "2100", "2100", "2000", "2100", "2000"}));
    QCOMPARE(dataColumn(finals, 4), QStringList({"1", "1", "1", "1", "2", "2"}));
    // Equal totals keep the heat start list order.
    QCOMPARE(dataColumn(finals, 0), QStringList({"3", "4", "6", "1", "2", "5"}));
    QCOMPARE(finals.cell(6, 0), QStringLiteral("G-Zeit"));
    QVERIFY(!finals.sortOptions().canSort);
    // The caption of the heat results' total travels into the final start list.
    c.heatResults().setCell(9, 0, "Summe");
    StageDerivation(c).deriveStage(2);
    QCOMPARE(finals.cell(6, 0), QStringLiteral("Summe"));
}

void TstDerivation::finalRunsFollowStartNumber() {
    Competition c;
    addRunner(c, 7, "1", 1000, {}, {"950", "940"});
    addRunner(c, 8, "1", 1100, {}, {"", "-"});
    add(c, {"7", "Twin", "", "", "3", "", "", "", "", "111", "222"});
    addRunner(c, 9, "1", 1200);
    StageDerivation(c).deriveAll();
    const CompetitionTable& finals = c.finalStartList();
    QCOMPARE(dataColumn(finals, 0), QStringList({"9", "8", "7"}));
    QCOMPARE(dataColumn(finals, 7), QStringList({"", "", "950"}));
    QCOMPARE(dataColumn(finals, 8), QStringList({"", "-", "940"}));
    // A final run entered on the heat start list appears after the next derivation.
    c.heatStartList().setCell(9, c.heatStartList().findRow(0, "9"), "990");
    StageDerivation(c).deriveAll();
    QCOMPARE(finals.cell(7, 1), QStringLiteral("990"));
}

void TstDerivation::finalResults() {
    Competition c;
    addRunner(c, 1, "1", 1000, {}, {"900", "950"});
    addRunner(c, 2, "1", 1100, {}, {"800", "850"});
    addRunner(c, 3, "2", 1200, {}, {"1000", "1000"});
    addRunner(c, 4, "1", 1050, {}, {"900", "900"});
    StageDerivation(c).deriveAll();
    const CompetitionTable& results = c.finalResults();
    QCOMPARE(results.rowCells(0),
             QStringList({"Pl.", "Nr.", "Name", "Vorname", "Verein / Ort", "Kl.", "Meister",
                          "G-Zeit", "Zeit4", "Zeit5", "Endzeit"}));
    // Class 1 by final total, the equal totals 3850 by the first final run.
    QCOMPARE(dataColumn(results, 1), QStringList({"2", "1", "4", "3"}));
    QCOMPARE(dataColumn(results, 7), QStringList({"2200", "2000", "2100", "2400"}));
    QCOMPARE(dataColumn(results, 10), QStringList({"3850", "3850", "3900", "4400"}));
    QCOMPARE(dataColumn(results, 0), QStringList({"1", "1", "3", "1"}));
    QCOMPARE(results.rowCells(1).mid(1, 9), c.finalStartList().rowCells(1));
    QVERIFY(!results.sortOptions().canSort);
    QCOMPARE(c.stageMessage(1), QString());
}

void TstDerivation::finalistWithOneRunHasNoResult() {
    Competition c(TimeFormat(1, u','));
    addRunner(c, 1, "1", 1000, {}, {"9,00", "9,50"});
    addRunner(c, 2, "1", 1100, {}, {"8,00"});
    addRunner(c, 3, "1", 1200, {}, {"-", "9,00"});
    addRunner(c, 4, "1", 1300, {}, {"0,00", "9,00"});
    addRunner(c, 5, "1", 1400, {}, {"-1,00", "9,00"});
    StageDerivation(c).deriveAll();
    QCOMPARE(dataColumn(c.finalResults(), 1), QStringList({"1"}));
    QCOMPARE(c.finalResults().cell(10, 1), QStringLiteral("38,50"));
    QCOMPARE(c.stageMessage(1), QString());
    // Nobody with both runs: the table is empty.
    c.heatStartList().setCell(10, 1, QString());
    StageDerivation(c).deriveAll();
    QVERIFY(c.finalResults().isRowEmpty(1));
    QCOMPARE(c.finalResults().rowsWithHeader(), 2);
}

void TstDerivation::equalEndTimesByFirstRun() {
    Competition c;
    addRunner(c, 1, "1", 1000, {}, {"950", "900"});
    addRunner(c, 2, "1", 1000, {}, {"900", "950"});
    addRunner(c, 3, "1", 1000, {}, {"1000", "851"});
    addRunner(c, 4, "2", 1000, {}, {"1000", "1000"});
    StageDerivation(c).deriveAll();
    const CompetitionTable& results = c.finalResults();
    QCOMPARE(dataColumn(results, 1), QStringList({"2", "1", "3", "4"}));
    QCOMPARE(dataColumn(results, 10), QStringList({"3850", "3850", "3851", "4000"}));
    QCOMPARE(dataColumn(results, 0), QStringList({"1", "1", "3", "1"}));
}

void TstDerivation::rebuiltFromScratch() {
    Competition c;
    for (int i = 1; i <= 20; ++i)
        addRunner(c, i, QString::number(i % 4 + 1), 1000 + i, {}, {"900", "900"});
    StageDerivation derivation(c);
    derivation.deriveAll();
    QCOMPARE(c.heatResults().rowsWithHeader(), 21);
    QCOMPARE(c.finalResults().rowsWithHeader(), 21);
    c.heatStartList().setRowsWithHeader(4);
    derivation.deriveAll();
    QCOMPARE(c.heatResults().rowsWithHeader(), 4);
    QCOMPARE(c.finalStartList().rowsWithHeader(), 4);
    QCOMPARE(c.finalResults().rowsWithHeader(), 4);
    QCOMPARE(dataColumn(c.finalResults(), 1), QStringList({"1", "2", "3"}));
    const QList<QStringList> before{c.heatResults().column(0), c.finalStartList().column(0),
                                    c.finalResults().column(10)};
    derivation.deriveAll();
    QCOMPARE(c.heatResults().column(0), before[0]);
    QCOMPARE(c.finalStartList().column(0), before[1]);
    QCOMPARE(c.finalResults().column(10), before[2]);
}

void TstDerivation::secondsFormatWithComma() {
    Competition c(TimeFormat(1, u','));
    add(c, {"1", "A", "", "K", "1", "", "12,00", "11,00", "13,00", "10,50", "10,25"});
    add(c, {"2", "B", "", "K", "1", "", "8,11", "8,11", "8,12", "10,00", "10,00"});
    add(c, {"3", "C", "", "K", "1", "", "10.00", "8,00", "8,00"});
    StageDerivation(c).deriveAll();
    QCOMPARE(dataColumn(c.heatResults(), 9), QStringList({"16,22", "23,00"}));
    QCOMPARE(dataColumn(c.finalStartList(), 6), QStringList({"23,00", "16,22"}));
    QCOMPARE(dataColumn(c.finalResults(), 10), QStringList({"36,22", "43,75"}));
    QCOMPARE(dataColumn(c.finalResults(), 0), QStringList({"1", "2"}));
    QCOMPARE(c.stageMessage(1), QStringLiteral("Es sind 1") + Message);
}

QTEST_GUILESS_MAIN(TstDerivation)
#include "tst_derivation.moc"
