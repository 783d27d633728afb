#pragma once

#include <QString>

class CompetitionTable;

// The competitor a table's selection stands on, found again by start number once the table
// has been rebuilt, so that result entry keeps writing to the competitor the operator chose.
class SelectedCompetitor {
public:
    static SelectedCompetitor of(const CompetitionTable& grid);

    // Selects the row with the remembered start number (the same one among repeated numbers).
    // When the competitor is gone, the selection keeps its position in the table.
    void restore(CompetitionTable& grid) const;

private:
    QString m_number;
    int m_row = 1;
    int m_occurrence = 0;
};
