#include "competition/CompetitionTable.h"

#include <QSignalSpy>
#include <QTest>

// The table operations, the selected row and the modified flag.
class TstSortGrid : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsWithHeaderAndOneEmptyRow();
    void rowCountNeverBelowTwo();
    void rowCountDropsAndAddsRows();
    void addRowReusesEmptyLastRow();
    void addRowAppendsAfterFilledRow();
    void deleteRowRemovesRow();
    void deleteRowWithOneDataRowEmptiesIt();
    void deleteRowOutsideDataDoesNothing();
    void clearTable();
    void findRow_data();
    void findRow();
    void columnText();
    void clearColumnKeepsCaption();
    void rowText();
    void outOfRangeCellsAreEmptyAndIgnored();
    void hasDataLooksAtKeyColumn();
    void selectedRowRules();
    void selectedRowFollowsDeletion();
    void modifiedSetByRowAndColumnCount();
    void modifiedSetByDifferingUserEdit();
    void modifiedSetByRowRemoval();
    void modifiedNotSetByProgramWrites();
    void modifiedClearedOnlyByClearTable();
    void modelExposesDataRows();
    void modelResetOnceForBulkWork();
    void reorderRowsRejectsBadOrders();
    void copyColumnsFromAnotherTable();
    void renewDataRows();
};

namespace {

void fill(CompetitionTable& grid, const QList<QStringList>& rows) {
    grid.setRowsWithHeader(static_cast<int>(rows.size()) + 1);
    for (int r = 0; r < rows.size(); ++r)
        grid.setRowCells(r + 1, rows[r]);
}

} // namespace

void TstSortGrid::startsWithHeaderAndOneEmptyRow() {
    CompetitionTable grid(4);
    QCOMPARE(grid.rowsWithHeader(), 2);
    QCOMPARE(grid.columns(), 4);
    QVERIFY(grid.isRowEmpty(1));
    QCOMPARE(grid.selectedRow(), 1);
    QVERIFY(!grid.modified());
}

void TstSortGrid::rowCountNeverBelowTwo() {
    CompetitionTable grid(3);
    grid.setRowsWithHeader(0);
    QCOMPARE(grid.rowsWithHeader(), 2);
    grid.setRowsWithHeader(-5);
    QCOMPARE(grid.rowsWithHeader(), 2);
    grid.setRowsWithHeader(5);
    grid.setRowsWithHeader(1);
    QCOMPARE(grid.rowsWithHeader(), 2);
    grid.deleteRow(1);
    QCOMPARE(grid.rowsWithHeader(), 2);
    grid.clearTable();
    QCOMPARE(grid.rowsWithHeader(), 2);
}

void TstSortGrid::rowCountDropsAndAddsRows() {
    CompetitionTable grid(2);
    fill(grid, {{"a", "1"}, {"b", "2"}, {"c", "3"}});
    grid.setRowsWithHeader(3);
    QCOMPARE(grid.cell(0, 2), QStringLiteral("b"));
    grid.setRowsWithHeader(5);
    QCOMPARE(grid.cell(0, 2), QStringLiteral("b"));
    QVERIFY(grid.isRowEmpty(3));
    QVERIFY(grid.isRowEmpty(4));
}

void TstSortGrid::addRowReusesEmptyLastRow() {
    CompetitionTable grid(3);
    grid.appendRow({"7", "Meier"});
    QCOMPARE(grid.rowsWithHeader(), 2);
    QCOMPARE(grid.cell(0, 1), QStringLiteral("7"));
    QCOMPARE(grid.cell(1, 1), QStringLiteral("Meier"));
    QCOMPARE(grid.cell(2, 1), QString());
    QVERIFY(!grid.modified());
}

void TstSortGrid::addRowAppendsAfterFilledRow() {
    CompetitionTable grid(2);
    grid.appendRow({"1", "x"});
    grid.appendRow({"2", "y", "ignored beyond the columns"});
    QCOMPARE(grid.rowsWithHeader(), 3);
    QCOMPARE(grid.rowCells(2), QStringList({"2", "y"}));
    QVERIFY(grid.modified());
    // A row with only one filled cell is not empty either.
    grid.setCell(1, 2, QString());
    grid.appendRow({"3"});
    QCOMPARE(grid.rowsWithHeader(), 4);
}

void TstSortGrid::deleteRowRemovesRow() {
    CompetitionTable grid(1);
    fill(grid, {{"a"}, {"b"}, {"c"}});
    grid.deleteRow(2);
    QCOMPARE(grid.rowsWithHeader(), 3);
    QCOMPARE(grid.column(0), QStringList({"", "a", "c"}));
}

void TstSortGrid::deleteRowWithOneDataRowEmptiesIt() {
    CompetitionTable grid(2);
    grid.setCell(0, 0, "Nr.");
    fill(grid, {{"a", "b"}});
    grid.deleteRow(1);
    QCOMPARE(grid.rowsWithHeader(), 2);
    QVERIFY(grid.isRowEmpty(1));
    QCOMPARE(grid.cell(0, 0), QStringLiteral("Nr."));
}

void TstSortGrid::deleteRowOutsideDataDoesNothing() {
    CompetitionTable grid(1);
    fill(grid, {{"a"}, {"b"}});
    grid.setCell(0, 0, "H");
    grid.deleteRow(0);
    grid.deleteRow(3);
    grid.deleteRow(-1);
    QCOMPARE(grid.column(0), QStringList({"H", "a", "b"}));
}

void TstSortGrid::clearTable() {
    CompetitionTable grid(2);
    grid.setCell(0, 0, "Nr.");
    grid.setCell(1, 0, "Name");
    fill(grid, {{"1", "a"}, {"2", "b"}, {"3", "c"}});
    grid.setRow(3);
    QSignalSpy selected(&grid, &CompetitionTable::rowSelected);
    grid.clearTable();
    QCOMPARE(grid.rowsWithHeader(), 2);
    QVERIFY(grid.isRowEmpty(1));
    QCOMPARE(grid.rowCells(0), QStringList({"Nr.", "Name"}));
    QCOMPARE(grid.selectedRow(), 1);
    QCOMPARE(selected.count(), 1);
}

void TstSortGrid::findRow_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<int>("expected");
    QTest::newRow("first of two") << 0 << "7" << false << 2;
    QTest::newRow("exact only") << 1 << "meier" << false << -1;
    QTest::newRow("ignoring case") << 1 << "meier" << true << 1;
    QTest::newRow("header not searched") << 0 << "Nr." << false << -1;
    QTest::newRow("missing") << 0 << "99" << false << -1;
    QTest::newRow("empty text finds empty cell") << 1 << "" << false << 3;
    QTest::newRow("column outside") << 5 << "7" << false << -1;
    QTest::newRow("prefix is no match") << 0 << "1" << false << -1;
}

void TstSortGrid::findRow() {
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(bool, ignoreCase);
    QFETCH(int, expected);
    CompetitionTable grid(2);
    grid.setRowCells(0, {"Nr.", "Name"});
    fill(grid, {{"12", "Meier"}, {"7", "Huber"}, {"7", ""}});
    QCOMPARE(grid.findRow(column, text, ignoreCase), expected);
}

void TstSortGrid::columnText() {
    CompetitionTable grid(2);
    fill(grid, {{"1", "a"}, {"2", "b"}});
    grid.setCell(0, 0, "Nr.");
    QCOMPARE(grid.column(0), QStringList({"Nr.", "1", "2"}));
    grid.setColumn(1, {"Cap", "x"});
    QCOMPARE(grid.column(1), QStringList({"Cap", "x", ""}));
    grid.setColumn(1, {"C", "1", "2", "3", "more than rows"});
    QCOMPARE(grid.column(1), QStringList({"C", "1", "2"}));
    QCOMPARE(grid.column(7), QStringList());
}

void TstSortGrid::clearColumnKeepsCaption() {
    CompetitionTable grid(2);
    grid.setCell(1, 0, "G-Zeit");
    fill(grid, {{"1", "20"}, {"2", "21"}});
    grid.clearColumn(1);
    QCOMPARE(grid.column(1), QStringList({"G-Zeit", "", ""}));
    QCOMPARE(grid.column(0), QStringList({"", "1", "2"}));
}

void TstSortGrid::rowText() {
    CompetitionTable grid(3);
    grid.setRowText(1, "a\nb\nc");
    QCOMPARE(grid.rowText(1), QStringLiteral("a\nb\nc"));
    grid.setRowText(1, "x\r\ny");
    QCOMPARE(grid.rowCells(1), QStringList({"x", "y", ""}));
    QCOMPARE(grid.rowText(0), QStringLiteral("\n\n"));
}

void TstSortGrid::outOfRangeCellsAreEmptyAndIgnored() {
    CompetitionTable grid(2);
    grid.setCell(5, 1, "x");
    grid.setCell(0, 9, "x");
    grid.setCell(-1, 1, "x");
    QCOMPARE(grid.cell(5, 1), QString());
    QCOMPARE(grid.cell(0, 9), QString());
    QCOMPARE(grid.cell(-1, -1), QString());
    QVERIFY(grid.isRowEmpty(1));
}

void TstSortGrid::hasDataLooksAtKeyColumn() {
    CompetitionTable grid(3);
    QVERIFY(!grid.hasData());
    grid.setCell(1, 1, "17");
    QVERIFY(!grid.hasData());
    grid.setKeyColumn(1);
    QVERIFY(grid.hasData());
    grid.setRowsWithHeader(4);
    grid.setCell(1, 1, QString());
    grid.setCell(1, 2, "18");
    QVERIFY(!grid.hasData());
}

void TstSortGrid::selectedRowRules() {
    CompetitionTable grid(1);
    fill(grid, {{"a"}, {"b"}, {"c"}});
    QSignalSpy selected(&grid, &CompetitionTable::rowSelected);
    grid.setRow(2);
    QCOMPARE(grid.selectedRow(), 2);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.last().at(0).toInt(), 2);
    grid.setRow(2);
    QCOMPARE(selected.count(), 1);
    grid.setRow(0);
    QCOMPARE(grid.selectedRow(), 1);
    grid.setRow(50);
    QCOMPARE(grid.selectedRow(), 3);
    grid.setRowsWithHeader(3);
    QCOMPARE(grid.selectedRow(), 2);
}

void TstSortGrid::selectedRowFollowsDeletion() {
    CompetitionTable grid(1);
    fill(grid, {{"a"}, {"b"}, {"c"}, {"d"}});
    grid.setRow(3);
    grid.deleteRow(1);
    QCOMPARE(grid.selectedRow(), 2);
    QCOMPARE(grid.cell(0, grid.selectedRow()), QStringLiteral("c"));
    grid.deleteRow(2);
    QCOMPARE(grid.cell(0, grid.selectedRow()), QStringLiteral("d"));
    grid.deleteRow(2);
    QCOMPARE(grid.selectedRow(), 1);
}

void TstSortGrid::modifiedSetByRowAndColumnCount() {
    CompetitionTable grid(2);
    grid.setRowsWithHeader(2);
    QVERIFY(!grid.modified());
    grid.setRowsWithHeader(3);
    QVERIFY(grid.modified());

    CompetitionTable columns(2);
    columns.setColumns(2);
    QVERIFY(!columns.modified());
    columns.setColumns(4);
    QVERIFY(columns.modified());
}

void TstSortGrid::modifiedSetByDifferingUserEdit() {
    CompetitionTable grid(2);
    grid.setCell(0, 1, "a");
    grid.commitUserEdit(0, 1, "a");
    QVERIFY(!grid.modified());
    grid.commitUserEdit(0, 1, "b");
    QVERIFY(grid.modified());
    QCOMPARE(grid.cell(0, 1), QStringLiteral("b"));

    CompetitionTable viaModel(2);
    viaModel.setEditable(true);
    QVERIFY(viaModel.setData(viaModel.index(0, 1), "x"));
    QVERIFY(viaModel.modified());
    QCOMPARE(viaModel.cell(1, 1), QStringLiteral("x"));
}

void TstSortGrid::modifiedSetByRowRemoval() {
    CompetitionTable grid(1);
    fill(grid, {{"a"}, {"b"}});
    grid.clearTable();
    fill(grid, {{"a"}});
    QVERIFY(!grid.modified());
    grid.deleteRow(1);
    QVERIFY(grid.modified());
}

void TstSortGrid::modifiedNotSetByProgramWrites() {
    CompetitionTable grid(2);
    grid.appendRow({"9"});
    grid.setCell(0, 1, "5");
    grid.setColumn(1, {"c", "x"});
    grid.clearColumn(1);
    grid.setRowCells(1, {"1", "2"});
    grid.setRow(1);
    grid.sortOptions().canSort = true;
    grid.sortByColumn(0);
    QVERIFY(!grid.modified());
}

void TstSortGrid::modifiedClearedOnlyByClearTable() {
    CompetitionTable grid(2);
    grid.setRowsWithHeader(4);
    QVERIFY(grid.modified());
    grid.setCell(0, 1, "x");
    grid.setRowsWithHeader(4);
    grid.sortOptions().canSort = true;
    grid.sortByColumn(0);
    grid.setRow(2);
    QVERIFY(grid.modified());
    grid.clearTable();
    QVERIFY(!grid.modified());
}

void TstSortGrid::modelExposesDataRows() {
    CompetitionTable grid(2);
    grid.setRowCells(0, {"Nr.", "Name"});
    fill(grid, {{"1", "a"}, {"2", "b"}});
    QCOMPARE(grid.rowCount(), 2);
    QCOMPARE(grid.columnCount(), 2);
    QCOMPARE(grid.data(grid.index(1, 1)).toString(), QStringLiteral("b"));
    QCOMPARE(grid.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Name"));
    QVERIFY(!(grid.flags(grid.index(0, 0)) & Qt::ItemIsEditable));
    grid.setEditable(true);
    QVERIFY(grid.flags(grid.index(0, 0)) & Qt::ItemIsEditable);
}

void TstSortGrid::modelResetOnceForBulkWork() {
    CompetitionTable grid(2);
    QSignalSpy resets(&grid, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&grid, &QAbstractItemModel::dataChanged);
    grid.beginUpdate();
    grid.setRowsWithHeader(50);
    for (int r = 1; r < 50; ++r)
        grid.setCell(0, r, QString::number(r));
    grid.deleteRow(3);
    grid.setColumn(1, grid.column(0));
    grid.endUpdate();
    QCOMPARE(resets.count(), 1);
    QCOMPARE(changes.count(), 0);
    grid.setCell(0, 1, "changed");
    QCOMPARE(changes.count(), 1);
    grid.endUpdate();
    QCOMPARE(resets.count(), 1);
}

void TstSortGrid::reorderRowsRejectsBadOrders() {
    CompetitionTable grid(1);
    fill(grid, {{"a"}, {"b"}, {"c"}});
    grid.setRow(1);
    grid.reorderRows({1, 1, 2});
    grid.reorderRows({1, 2});
    grid.reorderRows({0, 1, 2});
    QCOMPARE(grid.column(0), QStringList({"", "a", "b", "c"}));
    grid.reorderRows({3, 1, 2});
    QCOMPARE(grid.column(0), QStringList({"", "c", "a", "b"}));
    QCOMPARE(grid.selectedRow(), 2);
}

void TstSortGrid::copyColumnsFromAnotherTable() {
    CompetitionTable source(3);
    source.setRowCells(0, {"A", "B", "C"});
    fill(source, {{"a1", "b1", "c1"}, {"a2", "b2", "c2"}});
    CompetitionTable target(4);
    fill(target, {{"x", "x", "x", "x"}, {"x", "x", "x", "x"}, {"x", "x", "x", "x"}});
    target.copyColumns(source, 1, 2, 3);
    // Header travels along; rows past the source and columns past its width are emptied.
    QCOMPARE(target.column(2), QStringList({"B", "b1", "b2", ""}));
    QCOMPARE(target.column(3), QStringList({"C", "c1", "c2", ""}));
    QCOMPARE(target.column(1), QStringList({"", "x", "x", "x"}));
    target.copyColumn(source, 0, 0);
    QCOMPARE(target.column(0), QStringList({"A", "a1", "a2", ""}));
    target.copyColumn(source, 9, 1);
    QCOMPARE(target.column(1), QStringList({"", "", "", ""}));
}

void TstSortGrid::renewDataRows() {
    CompetitionTable grid(2);
    grid.setRowCells(0, {"H1", "H2"});
    fill(grid, {{"a", "1"}, {"b", "2"}, {"c", "3"}});
    grid.setRow(3);
    grid.clearTable();
    fill(grid, {{"a", "1"}, {"b", "2"}, {"c", "3"}});
    grid.setModified(false);
    grid.setRow(3);
    grid.renewDataRows(4);
    QCOMPARE(grid.rowsWithHeader(), 4);
    QVERIFY(!grid.modified());
    QCOMPARE(grid.rowCells(0), QStringList({"H1", "H2"}));
    for (int r = 1; r < 4; ++r)
        QVERIFY(grid.isRowEmpty(r));
    grid.renewDataRows(2);
    QCOMPARE(grid.rowsWithHeader(), 2);
    QVERIFY(grid.modified());
    QCOMPARE(grid.selectedRow(), 1);
    grid.renewDataRows(0);
    QCOMPARE(grid.rowsWithHeader(), 2);
}

QTEST_GUILESS_MAIN(TstSortGrid)
#include "tst_competitiontable.moc"
