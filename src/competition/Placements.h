#pragma once

class CompetitionTable;
class TimeFormat;

// Writes the placements "Pl." (column 0) of a results table ordered by class and time.
class Placements {
public:
    // Equal times in a class share the placement of the first of them; the next greater time
    // takes its position in the class (10, 10, 12 give 1, 1, 3). Every class starts at 1.
    // A table without data is left alone.
    static void assignPlacements(CompetitionTable& grid, int classColumn, int timeColumn,
                                 const TimeFormat& format);
};
