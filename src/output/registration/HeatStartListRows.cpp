#include "output/registration/HeatStartListRows.h"

#include "competition/TSortGrid.h"

namespace HeatStartListRows {

QList<QStringList> read(const TSortGrid& heatStartList) {
    QList<QStringList> rows;
    rows.reserve(heatStartList.RowCount() - 1);
    for (int r = 1; r < heatStartList.RowCount(); ++r)
        rows.append(heatStartList.rowCells(r));
    return rows;
}

void write(TSortGrid& heatStartList, const QList<QStringList>& rows, int selectRow) {
    heatStartList.beginUpdate();
    heatStartList.renewDataRows(static_cast<int>(rows.size()) + 1);
    for (int i = 0; i < rows.size(); ++i)
        heatStartList.setRowCells(i + 1, rows.at(i));
    heatStartList.setModified(true);
    heatStartList.endUpdate();
    if (selectRow >= 1 && selectRow < heatStartList.RowCount())
        heatStartList.setRow(selectRow);
}

} // namespace HeatStartListRows
