#include "competition/SelectedCompetitor.h"

#include "competition/CompetitionTable.h"

SelectedCompetitor SelectedCompetitor::of(const CompetitionTable& grid) {
    SelectedCompetitor selected;
    const int key = grid.keyColumn();
    selected.m_row = grid.selectedRow();
    selected.m_number = grid.cell(key, selected.m_row);
    for (int r = 1; r < selected.m_row; ++r) {
        if (grid.cell(key, r) == selected.m_number)
            ++selected.m_occurrence;
    }
    return selected;
}

void SelectedCompetitor::restore(CompetitionTable& grid) const {
    const int key = grid.keyColumn();
    int first = -1;
    int seen = 0;
    if (!m_number.isEmpty()) {
        for (int r = 1; r < grid.rowsWithHeader(); ++r) {
            if (grid.cell(key, r) != m_number)
                continue;
            if (first < 0)
                first = r;
            if (seen++ == m_occurrence) {
                grid.setRow(r);
                return;
            }
        }
    }
    grid.setRow(first > 0 ? first : m_row);
}
