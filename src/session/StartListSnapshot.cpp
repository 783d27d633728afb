#include "session/StartListSnapshot.h"

#include "competition/TSortGrid.h"

StartListSnapshot StartListSnapshot::of(const TSortGrid& grid) {
    StartListSnapshot snapshot;
    snapshot.rows.reserve(grid.RowCount());
    for (int r = 0; r < grid.RowCount(); ++r)
        snapshot.rows.append(grid.rowCells(r));
    snapshot.selectedRow = grid.Row();
    return snapshot;
}

void StartListSnapshot::restoreInto(TSortGrid& grid) const {
    grid.beginUpdate();
    grid.SetRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        grid.setRowCells(r, rows[r]);
    grid.endUpdate();
    grid.setRow(selectedRow);
}
