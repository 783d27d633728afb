#include "output/registration/HeatStartListRows.h"

#include "competition/CompetitionTable.h"

namespace HeatStartListRows {

QList<QStringList> read(const CompetitionTable& heatStartList) {
    QList<QStringList> rows;
    rows.reserve(heatStartList.rowsWithHeader() - 1);
    for (int r = 1; r < heatStartList.rowsWithHeader(); ++r)
        rows.append(heatStartList.rowCells(r));
    return rows;
}

void write(CompetitionTable& heatStartList, const QList<QStringList>& rows, int selectRow) {
    heatStartList.beginUpdate();
    heatStartList.renewDataRows(static_cast<int>(rows.size()) + 1);
    for (int i = 0; i < rows.size(); ++i)
        heatStartList.setRowCells(i + 1, rows.at(i));
    heatStartList.setModified(true);
    heatStartList.endUpdate();
    if (selectRow >= 1 && selectRow < heatStartList.rowsWithHeader())
        heatStartList.setRow(selectRow);
}

} // namespace HeatStartListRows
