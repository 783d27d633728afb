#include "competition/CellSorter.h"
#include "competition/Competition.h"
#include "competition/CompetitionTable.h"
#include "competition/DecimalText.h"
#include "competition/HeaderClickRule.h"
#include "competition/Placements.h"
#include "competition/Windows1252.h"

#include <QTest>
#include <algorithm>

// Sorting by columns, comparison kinds, placements and the header click direction.
class TstRanking : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void singleColumn_data();
    void singleColumn();
    void secondaryKeysInListedOrder();
    void primaryRemovedFromSecondaries();
    void badSecondaryEntriesIgnored();
    void equalRowsKeepOrder();
    void descendingNeverReversesTies();
    void stageHandlerChoosesStyle_data();
    void stageHandlerChoosesStyle();
    void teamGridKeepsNumeric();
    void automaticDetection_data();
    void automaticDetection();
    void automaticKeepsDetectedKind();
    void cannotSortDoesNothing();
    void columnOutsideTableOnlySetsSortCol();
    void selectedRowFollowsData();
    void mixedNumbersAndTextStayAPermutation();
    void decimalNumbers_data();
    void decimalNumbers();
    void generalNumberText();
    void windows1252Bytes_data();
    void windows1252Bytes();
    void placements_data();
    void placements();
    void placementsWithoutData();
    void placementsUnderSecondsFormat();
    void headerClick_data();
    void headerClick();
};

namespace {

// A one-column grid without a style handler.
CompetitionTable& column(CompetitionTable& grid, const QStringList& cells) {
    grid.setRowsWithHeader(static_cast<int>(cells.size()) + 1);
    for (int r = 0; r < cells.size(); ++r)
        grid.setCell(0, r + 1, cells[r]);
    return grid;
}

QStringList dataColumn(const CompetitionTable& grid, int col) {
    return grid.column(col).mid(1);
}

void fillRows(CompetitionTable& grid, const QList<QStringList>& rows) {
    grid.setRowsWithHeader(static_cast<int>(rows.size()) + 1);
    for (int r = 0; r < rows.size(); ++r)
        grid.setRowCells(r + 1, rows[r]);
}

} // namespace

void TstRanking::singleColumn_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("numeric with text fallback")
        << int(ssNumeric) << false << int(sdAscending) << QStringList{"10", "9", ""}
        << QStringList{"", "9", "10"};
    QTest::newRow("classes") << int(ssNumeric) << false << int(sdAscending)
                             << QStringList{"2", "1", "10"} << QStringList{"1", "2", "10"};
    QTest::newRow("numeric decimals")
        << int(ssNumeric) << false << int(sdAscending) << QStringList{"10,5", "9,75", "10", "-1"}
        << QStringList{"-1", "9,75", "10", "10,5"};
    QTest::newRow("numeric descending")
        << int(ssNumeric) << false << int(sdDescending) << QStringList{"2", "10", "1"}
        << QStringList{"10", "2", "1"};
    QTest::newRow("numeric names after numbers")
        << int(ssNumeric) << false << int(sdAscending) << QStringList{"Meier", "7", "+", "-"}
        << QStringList{"+", "-", "7", "meier"}.replaceInStrings("meier", "Meier");
    QTest::newRow("text compares digits as text")
        << int(ssNormal) << false << int(sdAscending) << QStringList{"10", "9", "100"}
        << QStringList{"10", "100", "9"};
    QTest::newRow("umlauts after ASCII, case-insensitive")
        << int(ssNormal) << false << int(sdAscending)
        << QStringList{"Zebra", "Äpfel", "apfel", "ähnlich", "Bär", "Bar", "zz"}
        << QStringList{"apfel", "Bar", "Bär", "Zebra", "zz", "Äpfel", "ähnlich"};
    QTest::newRow("case-sensitive: capitals first")
        << int(ssNormal) << true << int(sdAscending) << QStringList{"b", "B", "a", "A", "Ä", "ä"}
        << QStringList{"A", "B", "a", "b", "Ä", "ä"};
    QTest::newRow("prefix first") << int(ssNormal) << false << int(sdAscending)
                                  << QStringList{"Abc", "Ab", "", "A"}
                                  << QStringList{"", "A", "Ab", "Abc"};
    QTest::newRow("sharp s and euro sign by their bytes")
        << int(ssNormal) << false << int(sdAscending)
        << QStringList{QString::fromUtf8("ß"), QString::fromUtf8("€"), "z", QString::fromUtf8("Ö")}
        << QStringList{"z", QString::fromUtf8("€"), QString::fromUtf8("Ö"), QString::fromUtf8("ß")};
}

void TstRanking::singleColumn() {
    QFETCH(int, style);
    QFETCH(bool, caseSensitive);
    QFETCH(int, direction);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, expected);
    CompetitionTable grid(1);
    SortOptions& options = grid.sortOptions();
    options.canSort = true;
    options.style = SortStyle(style);
    options.caseSensitive = caseSensitive;
    options.direction = SortDirection(direction);
    column(grid, cells).sortByColumn(0);
    QCOMPARE(dataColumn(grid, 0), expected);
    QCOMPARE(grid.sortOptions().column, 0);
}

void TstRanking::secondaryKeysInListedOrder() {
    CompetitionTable grid(4);
    grid.sortOptions().canSort = true;
    grid.sortOptions().style = ssNumeric;
    grid.sortOptions().secondaryIndex = "2,1";
    fillRows(grid, {{"1", "2", "5", "a"},
                    {"1", "1", "5", "b"},
                    {"0", "9", "9", "c"},
                    {"1", "0", "4", "d"},
                    {"1", "3", "5", "e"}});
    grid.sortByColumn(0);
    QCOMPARE(dataColumn(grid, 3), QStringList({"c", "d", "b", "a", "e"}));
}

void TstRanking::primaryRemovedFromSecondaries() {
    // Sorting by 9 with secondary "9" uses the single key 9: equal totals keep their order even
    // though another column would order them.
    CompetitionTable grid(3);
    grid.sortOptions().canSort = true;
    grid.sortOptions().style = ssNumeric;
    grid.sortOptions().secondaryIndex = "2";
    fillRows(grid, {{"b", "9", "2"}, {"a", "8", "1"}, {"c", "9", "1"}});
    grid.sortByColumn(2);
    QCOMPARE(dataColumn(grid, 0), QStringList({"a", "c", "b"}));
    // Key list 1, 2: rows equal in 1 ordered by 2.
    grid.sortByColumn(1);
    QCOMPARE(dataColumn(grid, 0), QStringList({"a", "c", "b"}));
    grid.sortOptions().secondaryIndex = "0";
    grid.sortByColumn(1);
    QCOMPARE(dataColumn(grid, 0), QStringList({"a", "b", "c"}));
}

void TstRanking::badSecondaryEntriesIgnored() {
    CompetitionTable grid(2);
    grid.sortOptions().canSort = true;
    grid.sortOptions().style = ssNumeric;
    grid.sortOptions().secondaryIndex = "x, 17,-1,,1";
    fillRows(grid, {{"1", "3"}, {"1", "2"}, {"0", "5"}});
    grid.sortByColumn(0);
    QCOMPARE(dataColumn(grid, 1), QStringList({"5", "2", "3"}));
}

void TstRanking::equalRowsKeepOrder() {
    CompetitionTable grid(2);
    grid.sortOptions().canSort = true;
    grid.sortOptions().style = ssNumeric;
    QList<QStringList> rows;
    for (int i = 0; i < 200; ++i)
        rows.append({QString::number(i % 3), QString::number(i)});
    fillRows(grid, rows);
    grid.sortByColumn(0);
    for (int r = 2; r < grid.rowsWithHeader(); ++r) {
        const int previousKey = grid.cell(0, r - 1).toInt();
        const int key = grid.cell(0, r).toInt();
        QVERIFY(previousKey <= key);
        if (previousKey == key)
            QVERIFY(grid.cell(1, r - 1).toInt() < grid.cell(1, r).toInt());
    }
}

void TstRanking::descendingNeverReversesTies() {
    CompetitionTable grid(2);
    grid.sortOptions().canSort = true;
    grid.sortOptions().style = ssNumeric;
    grid.sortOptions().direction = sdDescending;
    fillRows(grid, {{"20", "a"}, {"22", "b"}, {"20", "c"}, {"22", "d"}, {"21", "e"}, {"", "f"}});
    grid.sortByColumn(0);
    QCOMPARE(dataColumn(grid, 1), QStringList({"b", "d", "e", "a", "c", "f"}));
    // Sorting again changes nothing: equal rows stay as they are.
    grid.sortByColumn(0);
    QCOMPARE(dataColumn(grid, 1), QStringList({"b", "d", "e", "a", "c", "f"}));
}

void TstRanking::stageHandlerChoosesStyle_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("text");
    for (int page : {0, 2}) {
        for (int col = 0; col < 9; ++col)
            QTest::addRow("page %d col %d", page, col) << page << col << (col >= 1 && col <= 3);
    }
    for (int page : {1, 3}) {
        for (int col = 0; col < 10; ++col)
            QTest::addRow("page %d col %d", page, col) << page << col << (col >= 2 && col <= 4);
    }
}

void TstRanking::stageHandlerChoosesStyle() {
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(bool, text);
    Competition competition;
    CompetitionTable& grid = competition.stageTable(page);
    grid.sortOptions().canSort = true;
    grid.sortOptions().secondaryIndex.clear();
    grid.sortOptions().direction = sdAscending;
    grid.setRowsWithHeader(4);
    const QStringList cells{"10", "9", "100"};
    for (int r = 1; r <= 3; ++r)
        grid.setCell(column, r, cells[r - 1]);
    grid.sortByColumn(column);
    const QStringList expected =
        text ? QStringList{"10", "100", "9"} : QStringList{"9", "10", "100"};
    QCOMPARE(dataColumn(grid, column), expected);
    QCOMPARE(grid.sortOptions().style, text ? ssNormal : ssNumeric);
}

void TstRanking::teamGridKeepsNumeric() {
    Competition competition;
    CompetitionTable& teams = competition.teams();
    QVERIFY(teams.sortOptions().canSort);
    column(teams, {"78,5", "1000077", "77,5", "78"}).sortByColumn(0);
    QCOMPARE(dataColumn(teams, 0), QStringList({"77,5", "78", "78,5", "1000077"}));
}

void TstRanking::automaticDetection_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("detected");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("numbers") << QStringList{"10", "9", "100", "-2,5"} << int(ssNumeric)
                             << QStringList{"-2,5", "9", "10", "100"};
    QTest::newRow("date-times") << QStringList{"2.1.2024", "1.2.2023", "15.1.2024"}
                                << int(ssDateTime)
                                << QStringList{"1.2.2023", "2.1.2024", "15.1.2024"};
    QTest::newRow("times") << QStringList{"10:05", "9:30", "10:00:30"} << int(ssTime)
                           << QStringList{"9:30", "10:00:30", "10:05"};
    QTest::newRow("text") << QStringList{"10", "9", "x"} << int(ssNormal)
                          << QStringList{"10", "9", "x"};
    QTest::newRow("empty cell makes it text")
        << QStringList{"10", "", "9"} << int(ssNormal) << QStringList{"", "10", "9"};
}

void TstRanking::automaticDetection() {
    QFETCH(QStringList, cells);
    QFETCH(int, detected);
    QFETCH(QStringList, expected);
    CompetitionTable grid(1);
    grid.sortOptions().canSort = true;
    grid.sortOptions().style = ssAutomatic;
    column(grid, cells).sortByColumn(0);
    QCOMPARE(int(grid.sortOptions().style), detected);
    QCOMPARE(dataColumn(grid, 0), expected);
}

void TstRanking::automaticKeepsDetectedKind() {
    CompetitionTable grid(2);
    grid.sortOptions().canSort = true;
    grid.sortOptions().style = ssAutomatic;
    fillRows(grid, {{"b", "10"}, {"a", "9"}});
    grid.sortByColumn(0);
    QCOMPARE(grid.sortOptions().style, ssNormal);
    grid.sortByColumn(1);
    QCOMPARE(dataColumn(grid, 1), QStringList({"10", "9"}));
}

void TstRanking::cannotSortDoesNothing() {
    Competition competition;
    CompetitionTable& grid = competition.heatResults();
    column(grid, {"3", "1", "2"});
    grid.setRow(2);
    grid.sortOptions().canSort = false;
    grid.sortByColumn(0);
    QCOMPARE(dataColumn(grid, 0), QStringList({"3", "1", "2"}));
    QCOMPARE(grid.sortOptions().column, 5);
    QCOMPARE(grid.selectedRow(), 2);
}

void TstRanking::columnOutsideTableOnlySetsSortCol() {
    Competition competition;
    CompetitionTable& heat = competition.heatStartList();
    column(heat, {"3", "1", "2"});
    heat.sortOptions().canSort = true;
    heat.sortByColumn(heat.sortOptions().column);
    QCOMPARE(dataColumn(heat, 0), QStringList({"3", "1", "2"}));
    QCOMPARE(heat.sortOptions().column, 20);
}

void TstRanking::selectedRowFollowsData() {
    CompetitionTable grid(2);
    grid.sortOptions().canSort = true;
    grid.sortOptions().style = ssNumeric;
    fillRows(grid, {{"3", "c"}, {"1", "a"}, {"4", "d"}, {"2", "b"}});
    grid.setRow(1);
    grid.sortByColumn(0);
    QCOMPARE(grid.selectedRow(), 3);
    QCOMPARE(grid.cell(1, grid.selectedRow()), QStringLiteral("c"));
    grid.sortOptions().direction = sdDescending;
    grid.sortByColumn(0);
    QCOMPARE(grid.cell(1, grid.selectedRow()), QStringLiteral("c"));
    QCOMPARE(grid.selectedRow(), 2);
}

void TstRanking::mixedNumbersAndTextStayAPermutation() {
    // Numbers compare as numbers and everything else as text, which is not a consistent order;
    // the sort must still return every row exactly once.
    CompetitionTable grid(1);
    grid.sortOptions().canSort = true;
    grid.sortOptions().style = ssNumeric;
    QStringList cells;
    const QStringList pool{"9", "10", "1a", "01", "1", "0x", "", "-", "Ä", "100", "2,5"};
    for (int i = 0; i < 500; ++i)
        cells.append(pool[(i * 7 + i / 3) % pool.size()]);
    column(grid, cells).sortByColumn(0);
    QStringList sorted = dataColumn(grid, 0);
    std::sort(sorted.begin(), sorted.end());
    std::sort(cells.begin(), cells.end());
    QCOMPARE(sorted, cells);
}

void TstRanking::decimalNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    const QChar comma(u',');
    QTest::newRow("decimal") << "10,5" << comma << true << 10.5;
    QTest::newRow("blanks and sign") << " -2,25\t" << comma << true << -2.25;
    QTest::newRow("plus") << "+7" << comma << true << 7.0;
    QTest::newRow("exponent") << "1,5e-1" << comma << true << 0.15;
    QTest::newRow("capital exponent") << "2E3" << comma << true << 2000.0;
    QTest::newRow("leading separator") << ",5" << comma << true << 0.5;
    QTest::newRow("trailing separator") << "5," << comma << true << 5.0;
    QTest::newRow("long digits") << "12345678901234567890" << comma << true
                                 << 1.2345678901234567e19;
    QTest::newRow("long fraction")
        << "0,1000000000000000055511151231257827" << comma << true << 0.1;
    QTest::newRow("point under comma") << "1.5" << comma << false << 0.0;
    QTest::newRow("point separator") << "1.5" << QChar(u'.') << true << 1.5;
    QTest::newRow("empty") << "" << comma << false << 0.0;
    QTest::newRow("dash") << "-" << comma << false << 0.0;
    QTest::newRow("plus sign only") << "+" << comma << false << 0.0;
    QTest::newRow("separator only") << "," << comma << false << 0.0;
    QTest::newRow("two separators") << "1,2,3" << comma << false << 0.0;
    QTest::newRow("exponent without digits") << "1e" << comma << false << 0.0;
    QTest::newRow("overflow") << "1e999" << comma << false << 0.0;
    QTest::newRow("name") << "Meier" << comma << false << 0.0;
}

void TstRanking::decimalNumbers() {
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const auto parsed = parseDecimalNumber(text, separator);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TstRanking::generalNumberText() {
    QCOMPARE(formatGeneralNumber(25.5, u','), QStringLiteral("25,5"));
    QCOMPARE(formatGeneralNumber(78, u','), QStringLiteral("78"));
    QCOMPARE(formatGeneralNumber(0.1 + 0.2, u','), QStringLiteral("0,3"));
    QCOMPARE(formatGeneralNumber(7800, u'.'), QStringLiteral("7800"));
    QCOMPARE(formatGeneralNumber(-1.25, u'.'), QStringLiteral("-1.25"));
}

void TstRanking::windows1252Bytes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << "Abc 1" << QByteArray("Abc 1");
    QTest::newRow("umlauts") << QString::fromUtf8("ÄÜÖß") << QByteArray("\xC4\xDC\xD6\xDF");
    QTest::newRow("euro") << QString::fromUtf8("€5")
                          << QByteArray("\x80"
                                        "5");
    QTest::newRow("unknown character") << QString::fromUtf8("a\u4E2Db") << QByteArray("a?b");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TstRanking::windows1252Bytes() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Windows1252::encode(text), bytes);
}

void TstRanking::placements_data() {
    QTest::addColumn<QStringList>("classes");
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("shared places")
        << QStringList{"1", "1", "1", "1", "1"} << QStringList{"10", "10", "12", "12", "15"}
        << QStringList{"1", "1", "3", "3", "5"};
    QTest::newRow("10 11 11 12") << QStringList{"2", "2", "2", "2"}
                                 << QStringList{"10", "11", "11", "12"}
                                 << QStringList{"1", "2", "2", "4"};
    QTest::newRow("every class restarts")
        << QStringList{"1", "1", "2", "2", "2", "3"} << QStringList{"10", "11", "5", "5", "9", "50"}
        << QStringList{"1", "2", "1", "1", "3", "1"};
    QTest::newRow("equal time in next class starts at 1")
        << QStringList{"1", "2"} << QStringList{"10", "10"} << QStringList{"1", "1"};
    QTest::newRow("single row") << QStringList{"4"} << QStringList{"99"} << QStringList{"1"};
    QTest::newRow("class read as a number")
        << QStringList{"1", " 1", "01"} << QStringList{"1", "2", "3"} << QStringList{"1", "2", "3"};
    QTest::newRow("text classes group by their text")
        << QStringList{"x", "x", "X", "12", "12"} << QStringList{"1", "2", "1", "1", "1"}
        << QStringList{"1", "2", "1", "1", "1"};
    QTest::newRow("unreadable time keeps the place")
        << QStringList{"1", "1", "1"} << QStringList{"10", "abc", "12"}
        << QStringList{"1", "1", "3"};
}

void TstRanking::placements() {
    QFETCH(QStringList, classes);
    QFETCH(QStringList, times);
    QFETCH(QStringList, expected);
    Competition competition;
    CompetitionTable& results = competition.heatResults();
    results.setRowsWithHeader(static_cast<int>(classes.size()) + 1);
    for (int r = 0; r < classes.size(); ++r) {
        results.setCell(0, r + 1, "old");
        results.setCell(1, r + 1, QString::number(r + 1));
        results.setCell(5, r + 1, classes[r]);
        results.setCell(9, r + 1, times[r]);
    }
    Placements::assignPlacements(results, 5, 9, competition.timeFormat());
    QCOMPARE(dataColumn(results, 0), expected);
}

void TstRanking::placementsWithoutData() {
    Competition competition;
    CompetitionTable& results = competition.finalResults();
    results.setRowsWithHeader(3);
    results.setCell(0, 1, "old");
    results.setCell(5, 1, "1");
    results.setCell(10, 1, "20");
    results.setCell(1, 2, "7");
    Placements::assignPlacements(results, 5, 10, competition.timeFormat());
    QCOMPARE(dataColumn(results, 0), QStringList({"old", ""}));

    Competition empty;
    Placements::assignPlacements(empty.heatResults(), 5, 9, empty.timeFormat());
    QVERIFY(empty.heatResults().isRowEmpty(1));
}

void TstRanking::placementsUnderSecondsFormat() {
    Competition competition(TimeFormat(1, u','));
    CompetitionTable& results = competition.heatResults();
    results.setRowsWithHeader(5);
    const QStringList times{"8,11", "8,119", "8,12", "10,00"};
    for (int r = 1; r <= 4; ++r) {
        results.setCell(1, r, QString::number(r));
        results.setCell(5, r, "3");
        results.setCell(9, r, times[r - 1]);
    }
    Placements::assignPlacements(results, 5, 9, competition.timeFormat());
    QCOMPARE(dataColumn(results, 0), QStringList({"1", "1", "3", "4"}));
}

void TstRanking::headerClick_data() {
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("sortCol");
    QTest::addColumn<bool>("right");
    QTest::addColumn<int>("expected");
    QTest::newRow("same column ascending")
        << int(sdAscending) << 3 << 3 << false << int(sdDescending);
    QTest::newRow("same column descending")
        << int(sdDescending) << 3 << 3 << false << int(sdAscending);
    QTest::newRow("new column from ascending")
        << int(sdAscending) << 2 << 3 << false << int(sdAscending);
    QTest::newRow("new column from descending")
        << int(sdDescending) << 2 << 3 << false << int(sdAscending);
    QTest::newRow("right button same") << int(sdDescending) << 3 << 3 << true << int(sdDescending);
    QTest::newRow("right button new") << int(sdAscending) << 1 << 3 << true << int(sdDescending);
}

void TstRanking::headerClick() {
    QFETCH(int, current);
    QFETCH(int, column);
    QFETCH(int, sortCol);
    QFETCH(bool, right);
    QFETCH(int, expected);
    QCOMPARE(int(HeaderClickRule::direction(SortDirection(current), column, sortCol, right)),
             expected);
}

QTEST_GUILESS_MAIN(TstRanking)
#include "tst_ranking.moc"
