#include "output/ExportColumns.h"

#include "competition/StageTables.h"
#include "competition/TSortGrid.h"

namespace ExportColumns {

QList<int> wordColumns(const TSortGrid& table) {
    const QList<StageTables::ColumnSpec> specs = StageTables::columns(table.tag());
    QList<int> result;
    for (int c = 0; c < table.ColCount(); ++c) {
        if (c < specs.size() && specs.at(c).fixedWidth < 0)
            continue;
        result.append(c);
    }
    return result;
}

QList<int> excelColumns(const TSortGrid& table) {
    const int count = table.tag() == StageTables::HeatStartList ? qMax(0, table.ColCount() - 2)
                                                                : table.ColCount();
    QList<int> result;
    for (int c = 0; c < count; ++c)
        result.append(c);
    return result;
}

QList<QStringList> rows(const TSortGrid& table, const QList<int>& columns) {
    QList<QStringList> result;
    result.reserve(table.RowCount());
    for (int r = 0; r < table.RowCount(); ++r) {
        QStringList cells;
        cells.reserve(columns.size());
        for (const int c : columns)
            cells.append(table.cell(c, r));
        result.append(cells);
    }
    return result;
}

} // namespace ExportColumns
