#include "competition/CellPresentation.h"
#include "competition/Competition.h"
#include "competition/StageDerivation.h"
#include "competition/StageTables.h"

#include <QTest>

// Backgrounds, red fonts and alignments of the stage tables' cells.
class TstCellPresentation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void background_data();
    void background();
    void stateColour_data();
    void stateColour();
    void discardedRun_data();
    void discardedRun();
    void endzeitRed_data();
    void endzeitRed();
    void substituteMark_data();
    void substituteMark();
    void substituteMatchedByRun_data();
    void substituteMatchedByRun();
    void alignment();
    void headerKeepsDefaults();
};

using OptColour = std::optional<quint32>;
Q_DECLARE_METATYPE(OptColour)

namespace {

constexpr quint32 Green = CellPresentation::LightGreen;
constexpr quint32 LightRed = CellPresentation::LightRed;
constexpr quint32 Yellow = CellPresentation::LightYellow;

} // namespace

void TstCellPresentation::background_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<OptColour>("expected");

    for (int col = 0; col < 11; ++col) {
        const OptColour colour = col >= 6 && col <= 8 ? OptColour(Green) : OptColour();
        QTest::addRow("heat start list col %d", col) << 0 << col << false << colour;
    }
    for (int col = 0; col < 10; ++col) {
        OptColour colour;
        if (col == 7 || col == 8)
            colour = Green;
        else if (col == 9)
            colour = LightRed;
        QTest::addRow("heat results col %d", col) << 1 << col << false << colour;
    }
    for (int col = 0; col < 9; ++col) {
        OptColour colour;
        if (col == 6)
            colour = Yellow;
        else if (col == 7 || col == 8)
            colour = Green;
        QTest::addRow("final start list col %d", col) << 2 << col << false << colour;
    }
    for (int col = 0; col < 11; ++col) {
        OptColour colour;
        if (col == 7)
            colour = Yellow;
        else if (col == 8 || col == 9)
            colour = Green;
        else if (col == 10)
            colour = LightRed;
        QTest::addRow("final results col %d", col) << 3 << col << false << colour;
    }
    QTest::newRow("selected heat run") << 0 << 6 << true << OptColour();
    QTest::newRow("selected G-Zeit") << 1 << 9 << true << OptColour();
    QTest::newRow("selected final G-Zeit") << 2 << 6 << true << OptColour();
    QTest::newRow("selected Endzeit") << 3 << 10 << true << OptColour();
}

void TstCellPresentation::background() {
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(bool, selected);
    QFETCH(OptColour, expected);
    Competition competition;
    CompetitionTable& grid = competition.stageTable(page);
    grid.setRowCells(1, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"});
    const CellFormat format =
        CellPresentation::format(grid, column, 1, selected, competition.timeFormat());
    QCOMPARE(format.background, expected);
}

void TstCellPresentation::stateColour_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("state"); // shown in the state colours
    QTest::newRow("heat run") << 0 << 7 << true;
    QTest::newRow("name column") << 0 << 1 << false;
    QTest::newRow("G-Zeit") << 1 << 9 << true;
    QTest::newRow("final run") << 2 << 7 << true;
    QTest::newRow("Endzeit") << 3 << 10 << true;
    QTest::newRow("final results Nr.") << 3 << 1 << false;
}

void TstCellPresentation::stateColour() {
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(bool, state);
    Competition competition;
    CompetitionTable& grid = competition.stageTable(page);
    for (const QString text : {"DNS", "DNF", "DSQ"}) {
        grid.setCell(column, 1, text);
        const auto format = [&](bool selected) {
            return CellPresentation::format(grid, column, 1, selected, competition.timeFormat());
        };
        QCOMPARE(format(false).background == CellPresentation::StateBackground, state);
        QCOMPARE(format(false).fontColour == CellPresentation::StateText, state);
        QCOMPARE(format(true).fontColour, OptColour());
        QCOMPARE(format(true).background, OptColour());
        QCOMPARE(CellPresentation::mark(grid, column, 1, {}) == CellPresentation::Mark::State,
                 state);
        // A state is no time, so no substitute colour hides it.
        QCOMPARE(CellPresentation::format(grid, column, 1, false, competition.timeFormat(), true)
                         .background == CellPresentation::StateBackground,
                 state);
    }
    if (page == 0) {
        // The state is the dropped run: no time beside it is painted red.
        grid.setCell(6, 1, QStringLiteral("12,00"));
        grid.setCell(8, 1, QStringLiteral("11,00"));
        QVERIFY(!CellPresentation::discardedHeatRun(grid, 1, competition.timeFormat()));
    }
}

void TstCellPresentation::substituteMark_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("marked");
    QTest::newRow("heat run itself") << 0 << 7 << "41,37" << true;
    QTest::newRow("heat run beside it") << 0 << 6 << "41,37" << false;
    QTest::newRow("counted run in the heat results") << 1 << 8 << "41,37" << true;
    QTest::newRow("G-Zeit is a total") << 1 << 9 << "41,37" << false;
    QTest::newRow("other time in the heat results") << 1 << 7 << "40,00" << false;
    QTest::newRow("final run itself") << 2 << 8 << "39,90" << true;
    QTest::newRow("final results run") << 3 << 9 << "39,90" << true;
    QTest::newRow("final results other run") << 3 << 8 << "39,90" << false;
}

void TstCellPresentation::substituteMark() {
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(QString, text);
    Competition competition(TimeFormat(1, u','));
    CompetitionTable& heat = competition.heatStartList();
    heat.setCell(0, 1, QStringLiteral("12"));
    heat.setCell(6, 1, QStringLiteral("40,00"));
    heat.setCell(7, 1, QStringLiteral("41,37"));
    heat.setCell(8, 1, QStringLiteral("42,00"));
    heat.setCell(10, 1, QStringLiteral("39,90"));
    SubstituteMarks& marks = competition.substituteMarks();
    marks.add({QStringLiteral("12"), 1, QStringLiteral("41,37")});
    marks.add({QStringLiteral("12"), 4, QStringLiteral("39,90")});
    CompetitionTable& grid = competition.stageTable(page);
    const bool results = page == 1 || page == 3;
    grid.setCell(results ? 1 : 0, 1, QStringLiteral("12"));
    grid.setCell(column, 1, text);
    QFETCH(bool, marked);
    QCOMPARE(CellPresentation::isSubstitute(grid, column, 1, competition.substitutes()), marked);
    // A rerun emptied the run: nothing it showed is a substitute any more.
    heat.setCell(7, 1, QStringLiteral(" "));
    heat.setCell(10, 1, QStringLiteral(" "));
    if (page != 0)
        QVERIFY(!CellPresentation::isSubstitute(grid, column, 1, competition.substitutes()));
}

void TstCellPresentation::substituteMatchedByRun_data() {
    QTest::addColumn<QStringList>("runs");
    QTest::addColumn<int>("substitute"); // the run 0..2 marked
    QTest::addColumn<QString>("shown");  // "Zeit1" and "Zeit2" of the heat results: E marked
    QTest::newRow("substitute before an equal time")
        << QStringList{"1,50", "1,50", "1,60"} << 0 << "E-";
    QTest::newRow("substitute after an equal time")
        << QStringList{"1,50", "1,50", "1,60"} << 1 << "-E";
    QTest::newRow("three equal, the dropped one")
        << QStringList{"1,50", "1,50", "1,50"} << 0 << "--";
    QTest::newRow("three equal, a counted one") << QStringList{"1,50", "1,50", "1,50"} << 2 << "-E";
    QTest::newRow("state dropped") << QStringList{"DNF", "1,50", "1,50"} << 1 << "E-";
}

void TstCellPresentation::substituteMatchedByRun() {
    QFETCH(QStringList, runs);
    QFETCH(int, substitute);
    Competition competition(TimeFormat(1, u','));
    competition.writeHeatStartListHeader();
    competition.heatStartList().setRowCells(1, QStringList{"12", "A", "B", "C", "1", ""} + runs);
    competition.substituteMarks().add({QStringLiteral("12"), substitute, runs[substitute]});
    StageDerivation(competition).deriveAll();
    const CompetitionTable& results = competition.stageTable(1);
    QCOMPARE(results.cell(StageTables::HeatRes::Nr, 1), QStringLiteral("12"));
    QString shown;
    for (int col : {StageTables::HeatRes::Zeit1, StageTables::HeatRes::Zeit2})
        shown += CellPresentation::isSubstitute(results, col, 1, competition.substitutes()) ? u'E'
                                                                                            : u'-';
    QTEST(shown, "shown");
    for (int run = 0; run < 3; ++run)
        QCOMPARE(CellPresentation::isSubstitute(competition.heatStartList(),
                                                StageTables::Heat::Zeit1 + run, 1,
                                                competition.substitutes()),
                 run == substitute);
}

void TstCellPresentation::discardedRun_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QStringList>("runs");
    QTest::addColumn<int>("redColumn"); // -1: nothing red

    QTest::newRow("first of equal largest") << 1 << QStringList{"12,00", "11,00", "12,00"} << 6;
    QTest::newRow("largest last") << 1 << QStringList{"12,00", "11,00", "13,00"} << 8;
    QTest::newRow("largest middle") << 1 << QStringList{"12,00", "13,00", "13,00"} << 7;
    QTest::newRow("all equal") << 1 << QStringList{"13,00", "13,00", "13,00"} << 6;
    QTest::newRow("empty runs") << 1 << QStringList{"", "", ""} << -1;
    QTest::newRow("dash and AUS") << 1 << QStringList{"-", "AUS", " "} << -1;
    QTest::newRow("one run") << 1 << QStringList{"", "9,50", ""} << 7;
    QTest::newRow("only negative") << 1 << QStringList{"-1,00", "-2,00", ""} << -1;
    QTest::newRow("unreadable is no time") << 1 << QStringList{"10.50", "9,00", "8,00"} << 7;
    QTest::newRow("hundredths") << 0 << QStringList{"1100", "1200", "1150"} << 7;
}

void TstCellPresentation::discardedRun() {
    QFETCH(int, setting);
    QFETCH(QStringList, runs);
    QFETCH(int, redColumn);
    Competition competition(TimeFormat(setting, u','));
    CompetitionTable& heat = competition.heatStartList();
    heat.setRowCells(1, QStringList{"1", "A", "B", "C", "1", ""} + runs);
    for (int col = 0; col < 11; ++col) {
        for (bool selected : {false, true}) {
            const CellFormat format =
                CellPresentation::format(heat, col, 1, selected, competition.timeFormat());
            const OptColour expected =
                col == redColumn ? OptColour(CellPresentation::Red) : OptColour();
            QCOMPARE(format.fontColour, expected);
        }
    }
    const auto discarded = CellPresentation::discardedHeatRun(heat, 1, competition.timeFormat());
    QCOMPARE(discarded.value_or(-1), redColumn);
}

void TstCellPresentation::endzeitRed_data() {
    QTest::addColumn<QString>("placement");
    QTest::addColumn<bool>("red");
    QTest::newRow("1") << "1" << true;
    QTest::newRow("2") << "2" << true;
    QTest::newRow("3") << "3" << true;
    QTest::newRow("4") << "4" << false;
    QTest::newRow("10") << "10" << false;
    QTest::newRow("03") << "03" << false;
    QTest::newRow("blank 3") << " 3" << false;
    QTest::newRow("empty") << "" << false;
}

void TstCellPresentation::endzeitRed() {
    QFETCH(QString, placement);
    QFETCH(bool, red);
    Competition competition;
    CompetitionTable& results = competition.finalResults();
    results.setCell(0, 1, placement);
    for (bool selected : {false, true}) {
        const CellFormat endTime =
            CellPresentation::format(results, 10, 1, selected, competition.timeFormat());
        QCOMPARE(endTime.fontColour.has_value(), red);
        if (red)
            QCOMPARE(*endTime.fontColour, CellPresentation::Red);
        // Only "Endzeit" turns red.
        const CellFormat total =
            CellPresentation::format(results, 7, 1, selected, competition.timeFormat());
        QVERIFY(!total.fontColour);
    }
}

void TstCellPresentation::alignment() {
    Competition competition;
    const TimeFormat& tf = competition.timeFormat();
    const CompetitionTable& heat = competition.heatStartList();
    QCOMPARE(CellPresentation::format(heat, 0, 1, false, tf).alignment, Qt::AlignRight);
    QCOMPARE(CellPresentation::format(heat, 1, 1, false, tf).alignment, Qt::AlignLeft);
    QCOMPARE(CellPresentation::format(heat, 4, 1, false, tf).alignment, Qt::AlignHCenter);
    QCOMPARE(CellPresentation::format(heat, 5, 1, true, tf).alignment, Qt::AlignHCenter);
    QCOMPARE(CellPresentation::format(heat, 6, 1, false, tf).alignment, Qt::AlignRight);
    QCOMPARE(CellPresentation::format(heat, 9, 1, false, tf).alignment, Qt::AlignLeft);
    const CompetitionTable& results = competition.finalResults();
    QCOMPARE(CellPresentation::format(results, 0, 1, false, tf).alignment, Qt::AlignRight);
    QCOMPARE(CellPresentation::format(results, 10, 1, false, tf).alignment, Qt::AlignRight);
}

void TstCellPresentation::headerKeepsDefaults() {
    Competition competition;
    for (int page = 0; page < 4; ++page) {
        const CompetitionTable& grid = competition.stageTable(page);
        for (int col = 0; col < grid.columns(); ++col) {
            const CellFormat format =
                CellPresentation::format(grid, col, 0, false, competition.timeFormat());
            QVERIFY(!format.background);
            QVERIFY(!format.fontColour);
            QCOMPARE(format.alignment, Qt::AlignLeft);
        }
    }
}

QTEST_GUILESS_MAIN(TstCellPresentation)
#include "tst_cellpresentation.moc"
