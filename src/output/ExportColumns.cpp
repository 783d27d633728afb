#include "output/ExportColumns.h"

#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"

namespace ExportColumns {

QList<int> wordColumns(const CompetitionTable& table) {
    const QList<StageTables::ColumnSpec> specs = StageTables::columns(table.tag());
    QList<int> result;
    for (int c = 0; c < table.columns(); ++c) {
        if (c < specs.size() && specs.at(c).fixedWidth < 0)
            continue;
        result.append(c);
    }
    return result;
}

QList<int> excelColumns(const CompetitionTable& table) {
    const int count =
        table.tag() == StageTables::HeatStartList ? qMax(0, table.columns() - 2) : table.columns();
    QList<int> result;
    for (int c = 0; c < count; ++c)
        result.append(c);
    return result;
}

QList<QStringList> rows(const CompetitionTable& table, const QList<int>& columns) {
    QList<QStringList> result;
    result.reserve(table.rowsWithHeader());
    for (int r = 0; r < table.rowsWithHeader(); ++r) {
        QStringList cells;
        cells.reserve(columns.size());
        for (const int c : columns)
            cells.append(table.cell(c, r));
        result.append(cells);
    }
    return result;
}

} // namespace ExportColumns
