#pragma once

#include <QList>
#include <QStringList>

class CompetitionTable;

// The data rows of the heat start list as plain lists of cell texts, the form in which an
// import or a late entry is planned and an undo step keeps the list before and after.
namespace HeatStartListRows {

QList<QStringList> read(const CompetitionTable& heatStartList);

// Puts exactly these data rows into the table (an empty list leaves one empty row), keeps the
// header row, marks the table modified and selects selectRow when it is a data row.
void write(CompetitionTable& heatStartList, const QList<QStringList>& rows, int selectRow = -1);

} // namespace HeatStartListRows
