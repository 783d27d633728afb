#pragma once

#include <QString>

class Competition;
class CompetitionTable;
class TimeFormat;

// The hand-made changes to the competition that do not go cell by cell: a new row at the
// bottom of the heat start list, eliminating a competitor, deleting results and emptying
// everything for a new protocol.
namespace StartListCommands {

// Appends a row numbered by its own position ("Name", "Vorname", "Verein", class 4, no runs),
// reusing an empty last row, and returns that row.
int AddRowBelow(CompetitionTable& heatStartList);

// Marks every free heat run of the row as not run ("-"); runs already entered stay.
void Eliminate(CompetitionTable& heatStartList, int row);

// The runs shown on the page: all five on the heat start list (page 0), the two final runs on
// the final start list (page 2, in both tables that hold them); other pages have none.
void DeleteResults(Competition& competition, int page);

// Every table emptied down to its captions and the derivation messages cleared.
void ClearCompetition(Competition& competition);

// The run times of the heat start list read in one format and written in another ("5023" and
// "50,23" are one time). Cells without a time ("-", blank, unreadable) stay as they are.
struct TimeConversion {
    int cells = 0;  // how many cells change
    QString before; // the first of them, as it is
    QString after;  // and as it will be
};
TimeConversion PlanTimeConversion(const CompetitionTable& heatStartList, const TimeFormat& from,
                                  const TimeFormat& to);
// Rewrites them in one change of the table.
void ConvertTimes(CompetitionTable& heatStartList, const TimeFormat& from, const TimeFormat& to);

} // namespace StartListCommands
