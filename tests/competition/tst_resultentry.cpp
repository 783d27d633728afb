#include "competition/Competition.h"
#include "competition/ResultEntry.h"
#include "competition/StageTables.h"

#include <QSignalSpy>
#include <QTest>

using Outcome = ResultEntry::Outcome;
namespace Heat = StageTables::Heat;
namespace FinalStart = StageTables::FinalStart;

Q_DECLARE_METATYPE(Outcome)

namespace {

QStringList heatRow(const QString& nr, const QString& z1 = QString(), const QString& z2 = QString(),
                    const QString& z3 = QString()) {
    return {nr,
            QStringLiteral("Berg"),
            QStringLiteral("Anna"),
            QStringLiteral("SV Tal"),
            QStringLiteral("2"),
            QString(),
            z1,
            z2,
            z3,
            QString(),
            QString()};
}

QList<QStringList> allRows(const CompetitionTable& grid) {
    QList<QStringList> rows;
    for (int r = 0; r < grid.rowsWithHeader(); ++r)
        rows.append(grid.rowCells(r));
    return rows;
}

} // namespace

// Entering a finished run into the selected row of the active stage's start list.
class TestResultEntry : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyListNumbersCompetitorsInRunningOrder();
    void writesFirstFreeHeatRun_data();
    void writesFirstFreeHeatRun();
    void fullHeatRowAppends();
    void zeroRun();
    void secondsFormat();
    void finalPageWritesBothTables();
    void finalPageUnknownNumberWritesNothing();
    void finalPageWithoutNumberKeepsTheRunInTheHeatList_data();
    void finalPageWithoutNumberKeepsTheRunInTheHeatList();
    void selectionMovesOnAndWraps_data();
    void selectionMovesOnAndWraps();
    void targetIsWhereTheTimeGoes_data();
    void targetIsWhereTheTimeGoes();
};

void TestResultEntry::emptyListNumbersCompetitorsInRunningOrder() {
    Competition competition;
    CompetitionTable& heat = competition.heatStartList();
    const QStringList times{"1234", "1300", "1250", "1190", "1201"};
    const Outcome outcomes[] = {Outcome::Appended, Outcome::Written, Outcome::Written,
                                Outcome::Appended, Outcome::Written};
    for (int i = 0; i < times.size(); ++i) {
        QCOMPARE(ResultEntry::enterRunTime(competition, 0, times[i].toInt() * 10 + 7), outcomes[i]);
        ResultEntry::selectNextRow(competition, 0);
    }
    QCOMPARE(heat.rowsWithHeader(), 3);
    QCOMPARE(heat.rowCells(1), (QStringList{"1", "Name", "Vorname", "Verein", "4", "", "1234",
                                            "1300", "1250", "", ""}));
    QCOMPARE(heat.rowCells(2),
             (QStringList{"2", "Name", "Vorname", "Verein", "4", "", "1190", "1201", "", "", ""}));
    QCOMPARE(heat.selectedRow(), 1);
}

void TestResultEntry::writesFirstFreeHeatRun_data() {
    QTest::addColumn<QStringList>("runs");
    QTest::addColumn<int>("column");
    QTest::newRow("all free") << QStringList{"", "", ""} << int(Heat::Zeit1);
    QTest::newRow("first taken") << QStringList{"1000", "", ""} << int(Heat::Zeit2);
    QTest::newRow("dash is free") << QStringList{"-", "1000", ""} << int(Heat::Zeit1);
    QTest::newRow("blank is free") << QStringList{"1000", " ", "-"} << int(Heat::Zeit2);
    QTest::newRow("AUS is taken") << QStringList{"AUS", "1000", ""} << int(Heat::Zeit3);
    QTest::newRow("two blanks are taken") << QStringList{"  ", "1000", "-"} << int(Heat::Zeit3);
}

void TestResultEntry::writesFirstFreeHeatRun() {
    QFETCH(QStringList, runs);
    QFETCH(int, column);
    Competition competition;
    CompetitionTable& heat = competition.heatStartList();
    heat.appendRow(heatRow("1"));
    heat.appendRow(heatRow("5", runs[0], runs[1], runs[2]));
    heat.setRow(2);
    QCOMPARE(ResultEntry::enterRunTime(competition, 1, 20000), Outcome::Written);
    QCOMPARE(heat.cell(column, 2), QStringLiteral("2000"));
    QCOMPARE(heat.rowsWithHeader(), 3);
    QCOMPARE(heat.rowCells(1), heatRow("1"));
}

void TestResultEntry::fullHeatRowAppends() {
    Competition competition;
    CompetitionTable& heat = competition.heatStartList();
    heat.appendRow(heatRow("1", "1000", "1100", "1200"));
    heat.appendRow(heatRow("2"));
    heat.setRow(1);
    QCOMPARE(ResultEntry::enterRunTime(competition, 0, 9990), Outcome::Appended);
    QCOMPARE(heat.rowsWithHeader(), 4);
    QCOMPARE(heat.rowCells(3),
             (QStringList{"3", "Name", "Vorname", "Verein", "4", "", "999", "", "", "", ""}));
    QCOMPARE(heat.rowCells(1), heatRow("1", "1000", "1100", "1200"));
    // A new row never takes a number a competitor already has.
    heat.appendRow(heatRow("5", "1000", "1100", "1200"));
    heat.setRow(4);
    QCOMPARE(ResultEntry::target(competition, 0).newNumber, QStringLiteral("6"));
    QCOMPARE(ResultEntry::enterRunTime(competition, 0, 9990), Outcome::Appended);
    QCOMPARE(heat.cell(Heat::Nr, 5), QStringLiteral("6"));
}

void TestResultEntry::zeroRun() {
    Competition competition;
    CompetitionTable& heat = competition.heatStartList();
    QCOMPARE(ResultEntry::enterRunTime(competition, 0, 0), Outcome::Appended);
    QCOMPARE(heat.cell(Heat::Zeit1, 1), QStringLiteral("AUS"));
    // In a row of its own the zero run is written as a time.
    QCOMPARE(ResultEntry::enterRunTime(competition, 0, 0), Outcome::Written);
    QCOMPARE(heat.cell(Heat::Zeit2, 1), QStringLiteral("0"));
}

void TestResultEntry::secondsFormat() {
    Competition competition(TimeFormat(TimeFormat::Seconds, u','));
    CompetitionTable& heat = competition.heatStartList();
    heat.appendRow(heatRow("4"));
    ResultEntry::enterRunTime(competition, 0, 12340);
    QCOMPARE(heat.cell(Heat::Zeit1, 1), QStringLiteral("12,34"));
}

void TestResultEntry::finalPageWritesBothTables() {
    Competition competition;
    CompetitionTable& heat = competition.heatStartList();
    CompetitionTable& finals = competition.finalStartList();
    heat.appendRow(heatRow("3"));
    heat.appendRow(heatRow("7", "1000", "1100", "1200"));
    finals.appendRow({"7", "Berg", "Anna", "SV Tal", "2", "", "2100", "", ""});
    finals.setRow(1);

    QCOMPARE(ResultEntry::enterRunTime(competition, 3, 11110), Outcome::Written);
    QCOMPARE(finals.cell(FinalStart::Zeit4, 1), QStringLiteral("1111"));
    QCOMPARE(heat.cell(Heat::Zeit4, 2), QStringLiteral("1111"));
    QCOMPARE(ResultEntry::enterRunTime(competition, 2, 10500), Outcome::Written);
    QCOMPARE(finals.cell(FinalStart::Zeit5, 1), QStringLiteral("1050"));
    QCOMPARE(heat.cell(Heat::Zeit5, 2), QStringLiteral("1050"));
    QCOMPARE(heat.cell(Heat::Zeit3, 2), QStringLiteral("1200"));

    const auto heatBefore = allRows(heat);
    const auto finalsBefore = allRows(finals);
    QCOMPARE(ResultEntry::enterRunTime(competition, 2, 9000), Outcome::NoFreeFinalRun);
    QCOMPARE(allRows(heat), heatBefore);
    QCOMPARE(allRows(finals), finalsBefore);
}

void TestResultEntry::finalPageUnknownNumberWritesNothing() {
    Competition competition;
    CompetitionTable& heat = competition.heatStartList();
    CompetitionTable& finals = competition.finalStartList();
    heat.appendRow(heatRow("7"));
    finals.appendRow({"77", "Berg", "Anna", "SV Tal", "2", "", "2100", "", ""});
    const auto heatBefore = allRows(heat);
    const auto finalsBefore = allRows(finals);
    QCOMPARE(ResultEntry::enterRunTime(competition, 2, 9000), Outcome::NotInHeatList);
    QCOMPARE(allRows(heat), heatBefore);
    QCOMPARE(allRows(finals), finalsBefore);
}

void TestResultEntry::finalPageWithoutNumberKeepsTheRunInTheHeatList_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("heatRows");
    QTest::addColumn<qint32>("run");
    QTest::addColumn<QStringList>("appended");
    QTest::newRow("empty heat list")
        << 2 << 0 << 9000
        << QStringList{"1", "Name", "Vorname", "Verein", "4", "", "", "", "", "900", ""};
    QTest::newRow("after two competitors")
        << 3 << 2 << 12340
        << QStringList{"3", "Name", "Vorname", "Verein", "4", "", "", "", "", "1234", ""};
    QTest::newRow("zero run") << 2 << 1 << 0
                              << QStringList{"2", "Name", "Vorname", "Verein", "4", "",
                                             "",  "",     "",        "AUS",    ""};
}

void TestResultEntry::finalPageWithoutNumberKeepsTheRunInTheHeatList() {
    QFETCH(int, page);
    QFETCH(int, heatRows);
    QFETCH(qint32, run);
    QFETCH(QStringList, appended);
    Competition competition;
    CompetitionTable& heat = competition.heatStartList();
    for (int i = 1; i <= heatRows; ++i)
        heat.appendRow(heatRow(QString::number(i), QStringLiteral("1000")));
    CompetitionTable& finals = competition.finalStartList();
    const auto finalsBefore = allRows(finals);
    QCOMPARE(ResultEntry::enterRunTime(competition, page, run), Outcome::Appended);
    QCOMPARE(heat.rowsWithHeader(), heatRows + 2);
    QCOMPARE(heat.rowCells(heatRows + 1), appended);
    // The final start list is rebuilt from the heat start list; a row there would be lost.
    QCOMPARE(allRows(finals), finalsBefore);
}

void TestResultEntry::selectionMovesOnAndWraps_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("heat next") << 0 << 1 << 2;
    QTest::newRow("heat results page") << 1 << 2 << 3;
    QTest::newRow("heat last wraps") << 0 << 3 << 1;
    QTest::newRow("final next") << 2 << 1 << 2;
    QTest::newRow("final results page last wraps") << 3 << 3 << 1;
}

void TestResultEntry::selectionMovesOnAndWraps() {
    QFETCH(int, page);
    QFETCH(int, from);
    QFETCH(int, to);
    Competition competition;
    CompetitionTable& table = ResultEntry::targetTable(competition, page);
    CompetitionTable& other = page < 2 ? competition.finalStartList() : competition.heatStartList();
    for (const char* nr : {"1", "2", "3"})
        table.appendRow({QString::fromLatin1(nr)});
    table.setRow(from);
    QCOMPARE(ResultEntry::selectNextRow(competition, page), to);
    QCOMPARE(table.selectedRow(), to);
    QCOMPARE(other.selectedRow(), 1);
}

void TestResultEntry::targetIsWhereTheTimeGoes_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("runs");    // "Zeit1".."Zeit5" of Nr. 7
    QTest::addColumn<QString>("finalNumber"); // of the selected row of the final start list
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("run"); // -1: nowhere
    const QStringList heats{"1000", "1100", "1200", "", ""};
    QTest::newRow("free heat run")
        << 0 << QStringList{"1000", "", "", "", ""} << "7" << Outcome::Written << 1;
    QTest::newRow("heat runs full") << 0 << heats << "7" << Outcome::Appended << 0;
    QTest::newRow("first final run") << 2 << heats << "7" << Outcome::Written << 3;
    QTest::newRow("second final run")
        << 3 << QStringList{"1000", "1100", "1200", "900", ""} << "7" << Outcome::Written << 4;
    QTest::newRow("both final runs") << 2 << QStringList{"1000", "1100", "1200", "900", "950"}
                                     << "7" << Outcome::NoFreeFinalRun << -1;
    QTest::newRow("not in the heat list") << 2 << heats << "77" << Outcome::NotInHeatList << -1;
    QTest::newRow("final row without number") << 2 << heats << "" << Outcome::Appended << 3;
}

void TestResultEntry::targetIsWhereTheTimeGoes() {
    QFETCH(int, page);
    QFETCH(QStringList, runs);
    QFETCH(QString, finalNumber);
    QFETCH(Outcome, outcome);
    QFETCH(int, run);
    Competition competition;
    CompetitionTable& heat = competition.heatStartList();
    heat.appendRow(heatRow("3"));
    heat.appendRow(QStringList{"7", "Berg", "Anna", "SV Tal", "2", ""} + runs);
    heat.setRow(2);
    CompetitionTable& finals = competition.finalStartList();
    finals.appendRow({finalNumber, "Berg", "Anna", "SV Tal", "2", "", "2100", runs[3], runs[4]});
    finals.setRow(1);
    const ResultEntry::Target target = ResultEntry::target(competition, page);
    QCOMPARE(target.outcome, outcome);
    QCOMPARE(target.run, run);
    QCOMPARE(ResultEntry::enterRunTime(competition, page, 8880), outcome);
    if (run < 0)
        return;
    QCOMPARE(heat.cell(Heat::Zeit1 + run, target.heatRow), QStringLiteral("888"));
    QCOMPARE(heat.cell(Heat::Nr, target.heatRow),
             outcome == Outcome::Appended ? target.newNumber : QStringLiteral("7"));
}

QTEST_GUILESS_MAIN(TestResultEntry)
#include "tst_resultentry.moc"
