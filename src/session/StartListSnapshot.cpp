#include "session/StartListSnapshot.h"

#include "competition/CompetitionTable.h"

StartListSnapshot StartListSnapshot::of(const CompetitionTable& grid) {
    StartListSnapshot snapshot;
    snapshot.rows.reserve(grid.rowsWithHeader());
    for (int r = 0; r < grid.rowsWithHeader(); ++r)
        snapshot.rows.append(grid.rowCells(r));
    snapshot.selectedRow = grid.selectedRow();
    return snapshot;
}

void StartListSnapshot::restoreInto(CompetitionTable& grid) const {
    grid.beginUpdate();
    grid.setRowsWithHeader(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        grid.setRowCells(r, rows[r]);
    grid.endUpdate();
    grid.setRow(selectedRow);
}
