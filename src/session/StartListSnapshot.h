#pragma once

#include <QList>
#include <QStringList>

class TSortGrid;

// The heat start list as it stands, captions included, and the selected row. Cells are shared
// with the table, so taking one costs a pointer per row, not a copy of the texts.
struct StartListSnapshot {
    QList<QStringList> rows;
    int selectedRow = 1;

    static StartListSnapshot of(const TSortGrid& grid);
    // Puts every row back as it was, in one reset of the table, and selects the row.
    void restoreInto(TSortGrid& grid) const;

    bool sameRows(const StartListSnapshot& other) const { return rows == other.rows; }
};
