#pragma once

#include "competition/SubstituteMarks.h"

#include <QList>
#include <QStringList>

class CompetitionTable;

// The heat start list as it stands, captions included, the selected row and which of its times
// are substitutes. Cells are shared with the table, so taking one costs a pointer per row, not
// a copy of the texts.
struct StartListSnapshot {
    QList<QStringList> rows;
    int selectedRow = 1;
    // A list put back with its times and without their marks would pass a substitute off as
    // a measured time.
    SubstituteMarks marks;

    static StartListSnapshot of(const CompetitionTable& grid);
    // Puts every row back as it was, in one reset of the table, and selects the row.
    void restoreInto(CompetitionTable& grid) const;

    bool sameRows(const StartListSnapshot& other) const { return rows == other.rows; }
    bool sameContent(const StartListSnapshot& other) const {
        return sameRows(other) && marks == other.marks;
    }
};
