#pragma once

#include <QList>
#include <QString>
#include <optional>

// How a cup scores its races, counts them and breaks ties. One set per cup, kept in the cup
// file. Values are whole hundredths throughout (points, seconds and places alike), so that
// every comparison and every sum is exact.
struct CupRules {
    // Points (table or formula): the highest total wins. Sums of times or of places: the
    // lowest total wins, among competitors with the same number of counted races.
    enum class Scoring { PointsTable, Formula, TimeSum, PlaceSum };
    // What a competitor without a place in a race (DNS, DNF, DSQ, a row without its runs)
    // gets there: nothing (the race does not count for him), a fixed value, or what the place
    // after the last ranked competitor of his class gets (for a sum of times: the slowest
    // ranked time of his class).
    enum class StatusRule { NoPoints, FixedPoints, AfterLast };
    // The tie-breaks, in the order a cup chooses them; what is left after the chain shares
    // the place.
    enum class TieBreak {
        CountedRaces, // more counted races
        Countback,    // more first places, then more second places, ...
        LatestRace    // the better place in the latest race either of them took part in
    };
    // Club standings: each club's best members of every class, or over all classes.
    enum class ClubScope { PerClass, AllClasses };

    Scoring scoring = Scoring::PointsTable;
    QList<int> pointsTable; // whole points per place, place 1 first; beyond the table: 0
    QString formula;        // of t (the G-Zeit) and best (the class's best G-Zeit), in s
    std::optional<double> cutOffPercent; // no points farther than this behind the best
    StatusRule statusRule = StatusRule::NoPoints;
    qint64 statusValue = 0; // hundredths; for FixedPoints
    int bestOf = 0;         // best N results count; 0: all
    int minStarts = 0;      // fewer starts: listed without a place
    QList<TieBreak> tieBreaks{TieBreak::CountedRaces, TieBreak::Countback, TieBreak::LatestRace};
    int clubMembers = 3; // the best K members of a club count
    ClubScope clubScope = ClubScope::PerClass;
    int plannedRaces = 0; // races the cup will have in all; 0: as many as listed

    bool highestWins() const {
        return scoring == Scoring::PointsTable || scoring == Scoring::Formula;
    }

    // The two ready points tables.
    static QList<int> worldCupTable(); // 100-80-60-50-45-40-36-32-29-26-24-22-20-18-16-15..1
    static QList<int> classicTable();  // 100-85-70-60-55-50-46-42-39-36-34-32-30-28-26-25..1
};
