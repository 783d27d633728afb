#include "competition/Competition.h"
#include "competition/StageDerivation.h"
#include "competition/TeamRanking.h"

#include <QTest>

// Clubs ranked by the heat totals of their three fastest members.
class TstTeamRanking : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void threeFastestCount();
    void incompleteTeamsBlankAtBottom();
    void lowerTotalFirst();
    void namesCompareExactly();
    void classesCountTogether();
    void equalTotalsKeepCreationOrder();
    void totalsInShownUnit_data();
    void totalsInShownUnit();
    void noHeatResults();
    void builtDuringDerivation();
    void leavesHeatResultsSortedByTotal();
    void unreadableTotalEndsBuild();
    void rebuiltFromScratch();
};

namespace {

struct Member {
    QString club;
    QString total;
    QString cls = QStringLiteral("1");
    QString name = QStringLiteral("N");
};

// Heat results rows as stage 1 leaves them: Nr., Name, Vorname, club, class and total.
void setResults(Competition& c, const QList<Member>& members) {
    CompetitionTable& results = c.heatResults();
    results.setRowsWithHeader(static_cast<int>(members.size()) + 1);
    for (int i = 0; i < members.size(); ++i) {
        const Member& m = members[i];
        results.setRowCells(i + 1, {"", QString::number(i + 1), m.name + QString::number(i + 1),
                                    "V", m.club, m.cls, "", "", "", m.total});
    }
}

QStringList row(const CompetitionTable& grid, int r) {
    return grid.rowCells(r);
}

} // namespace

void TstTeamRanking::threeFastestCount() {
    Competition c(TimeFormat(1, u','));
    setResults(c, {{"A", "30,00"}, {"A", "26,00"}, {"A", "25,00"}, {"A", "27,00"}});
    TeamRanking::buildTeamRanking(c);
    QCOMPARE(c.teams().rowsWithHeader(), 2);
    QCOMPARE(row(c.teams(), 1),
             QStringList({"78", "A", "N3 V : 25,00", "N2 V : 26,00", "N4 V : 27,00"}));
}

void TstTeamRanking::incompleteTeamsBlankAtBottom() {
    Competition c(TimeFormat(1, u','));
    setResults(c, {{"B", "20,00"},
                   {"A", "25,00"},
                   {"C", "21,00"},
                   {"A", "26,00"},
                   {"B", "22,00"},
                   {"A", "27,00"}});
    TeamRanking::buildTeamRanking(c);
    const CompetitionTable& teams = c.teams();
    QCOMPARE(teams.rowsWithHeader(), 4);
    QCOMPARE(teams.cell(1, 1), QStringLiteral("A"));
    QCOMPARE(teams.cell(0, 1), QStringLiteral("78"));
    QVERIFY(teams.isRowEmpty(2));
    QVERIFY(teams.isRowEmpty(3));
}

void TstTeamRanking::lowerTotalFirst() {
    Competition c(TimeFormat(1, u','));
    setResults(c, {{"A", "26,00"},
                   {"C", "25,50"},
                   {"A", "26,00"},
                   {"C", "26,00"},
                   {"A", "26,00"},
                   {"C", "26,00"}});
    TeamRanking::buildTeamRanking(c);
    QCOMPARE(c.teams().column(1).mid(1), QStringList({"C", "A"}));
    QCOMPARE(c.teams().column(0).mid(1), QStringList({"77,5", "78"}));
}

void TstTeamRanking::namesCompareExactly() {
    Competition c;
    setResults(c, {{"Verein X", "100"},
                   {"verein x", "101"},
                   {"Verein X", "102"},
                   {"verein x", "103"},
                   {"Verein X", "104"},
                   {"verein x", "105"},
                   {"", "1"},
                   {"", "2"},
                   {"", "3"},
                   {"Verein X ", "1"}});
    TeamRanking::buildTeamRanking(c);
    QCOMPARE(c.teams().column(1).mid(1), QStringList({"", "Verein X", "verein x", ""}));
    QCOMPARE(c.teams().column(0).mid(1), QStringList({"6", "306", "309", ""}));
}

void TstTeamRanking::classesCountTogether() {
    Competition c;
    setResults(c, {{"A", "1000", "1"}, {"A", "1100", "4"}, {"A", "1200", "x"}});
    TeamRanking::buildTeamRanking(c);
    QCOMPARE(c.teams().cell(0, 1), QStringLiteral("3300"));
}

void TstTeamRanking::equalTotalsKeepCreationOrder() {
    Competition c(TimeFormat(1, u','));
    // B's fastest member comes first, so B was created first; both total 30 (shown alike even
    // though the sums differ in the last binary digit).
    setResults(
        c,
        {{"B", "0,10"}, {"A", "0,30"}, {"A", "0,10"}, {"B", "0,20"}, {"A", "0,20"}, {"B", "0,30"}});
    TeamRanking::buildTeamRanking(c);
    QCOMPARE(c.teams().column(1).mid(1), QStringList({"B", "A"}));
    QCOMPARE(c.teams().column(0).mid(1), QStringList({"0,6", "0,6"}));
}

void TstTeamRanking::totalsInShownUnit_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QStringList>("totals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("hundredths") << 0 << QChar(u',') << QStringList{"2500", "2600", "2700"}
                                << "7800";
    QTest::newRow("seconds comma")
        << 1 << QChar(u',') << QStringList{"25,01", "26,02", "27,03"} << "78,06";
    QTest::newRow("seconds point")
        << 1 << QChar(u'.') << QStringList{"8.25", "8.25", "9.00"} << "25.5";
    QTest::newRow("seconds large")
        << 1 << QChar(u',') << QStringList{"9999999,99", "9999999,99", "9999999,99"}
        << "29999999,97";
}

void TstTeamRanking::totalsInShownUnit() {
    QFETCH(int, setting);
    QFETCH(QChar, separator);
    QFETCH(QStringList, totals);
    QFETCH(QString, expected);
    Competition c(TimeFormat(setting, separator));
    setResults(c, {{"K", totals[0]}, {"K", totals[1]}, {"K", totals[2]}});
    TeamRanking::buildTeamRanking(c);
    QCOMPARE(c.teams().cell(0, 1), expected);
    QCOMPARE(c.teams().cell(2, 1), QStringLiteral("N1 V : ") + totals[0]);
}

void TstTeamRanking::noHeatResults() {
    Competition c;
    c.teams().setRowCells(1, {"1", "old"});
    StageDerivation(c).deriveStage(1);
    QCOMPARE(c.teams().rowsWithHeader(), 2);
    QVERIFY(c.teams().isRowEmpty(1));

    Competition direct;
    TeamRanking::buildTeamRanking(direct);
    QCOMPARE(direct.teams().rowsWithHeader(), 2);
    QVERIFY(direct.teams().isRowEmpty(1));
}

void TstTeamRanking::builtDuringDerivation() {
    Competition c(TimeFormat(1, u','));
    CompetitionTable& heat = c.heatStartList();
    heat.appendRow({"1", "Huber", "Anna", "SC Föhren", "1", "", "12,00", "11,00", "13,00"});
    heat.appendRow({"2", "Ölz", "Björn", "SC Föhren", "4", "+", "10,00", "10,00", "10,00"});
    heat.appendRow({"3", "Maier", "Eva", "TV Au", "2", "", "9,00", "9,00", "9,00"});
    heat.appendRow({"4", "Zoller", "Ida", "SC Föhren", "3", "", "15,00", "14,00", "-"});
    heat.appendRow({"5", "Berger", "Uwe", "SC Föhren", "3", "", "15,00", "14,00", "14,00"});
    StageDerivation(c).deriveStage(1);
    const CompetitionTable& teams = c.teams();
    QCOMPARE(teams.rowsWithHeader(), 3);
    QCOMPARE(row(teams, 1), QStringList({"71", "SC Föhren", "Ölz Björn : 20,00",
                                         "Huber Anna : 23,00", "Berger Uwe : 28,00"}));
    QVERIFY(teams.isRowEmpty(2));
}

void TstTeamRanking::leavesHeatResultsSortedByTotal() {
    Competition c;
    setResults(c, {{"A", "300"}, {"B", "100"}, {"A", "200"}, {"C", "100"}});
    c.heatResults().sortOptions().direction = sdDescending;
    c.heatResults().sortOptions().secondaryIndex = "1";
    TeamRanking::buildTeamRanking(c);
    QCOMPARE(c.heatResults().column(9).mid(1), QStringList({"100", "100", "200", "300"}));
    QCOMPARE(c.heatResults().column(4).mid(1), QStringList({"B", "C", "A", "A"}));
    QVERIFY(!c.heatResults().sortOptions().canSort);
}

void TstTeamRanking::unreadableTotalEndsBuild() {
    Competition c;
    // "zz" sorts after the numbers and ends the reading: B keeps two members and stays unranked.
    setResults(c, {{"A", "100"}, {"B", "zz"}, {"A", "110"}, {"B", "1"}, {"A", "120"}, {"B", "2"}});
    TeamRanking::buildTeamRanking(c);
    QCOMPARE(c.teams().rowsWithHeader(), 3);
    QCOMPARE(c.teams().rowCells(1).mid(0, 2), QStringList({"330", "A"}));
    QVERIFY(c.teams().isRowEmpty(2));

    // An empty total sorts first: nothing is read at all.
    Competition stops;
    setResults(stops, {{"A", "100"}, {"A", "110"}, {"A", ""}, {"A", "120"}});
    TeamRanking::buildTeamRanking(stops);
    QCOMPARE(stops.teams().rowsWithHeader(), 2);
    QVERIFY(stops.teams().isRowEmpty(1));
}

void TstTeamRanking::rebuiltFromScratch() {
    Competition c;
    setResults(c, {{"A", "1"}, {"A", "2"}, {"A", "3"}, {"B", "1"}, {"B", "1"}, {"B", "1"}});
    TeamRanking::buildTeamRanking(c);
    QCOMPARE(c.teams().rowsWithHeader(), 3);
    setResults(c, {{"D", "5"}, {"D", "5"}, {"D", "5"}});
    TeamRanking::buildTeamRanking(c);
    QCOMPARE(c.teams().rowsWithHeader(), 2);
    QCOMPARE(c.teams().rowCells(1), QStringList({"15", "D", "N1 V : 5", "N2 V : 5", "N3 V : 5"}));
}

QTEST_GUILESS_MAIN(TstTeamRanking)
#include "tst_teamranking.moc"
