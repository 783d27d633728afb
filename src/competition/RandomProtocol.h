#pragma once

class Competition;
class RandomGenerator;
class StageDerivation;

// Invented competitors with all five runs timed, for trying out the program without a race.
class RandomProtocol {
public:
    static constexpr int Competitors = 100;

    // Replaces the heat start list by 100 random competitors, sorts it as its header sort
    // stands, derives every stage and selects row 1 in the four stage tables.
    static void generateRandomProtocol(Competition& c, RandomGenerator& rng,
                                       StageDerivation& derivation);

    // Only the filling: the heat start list gets exactly `competitors` random data rows
    // (at least one), every cell written, the header row kept.
    static void fillRandomStartList(Competition& c, RandomGenerator& rng, int competitors);
};
