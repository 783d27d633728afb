#pragma once

class Competition;

// Ranks the clubs ("Verein / Ort") by the sum of the heat totals of their three fastest members.
class TeamRanking {
public:
    // Rebuilds the team table from the heat results: complete teams from row 1 by ascending
    // total (equal totals in the order of their fastest members), a blank row at the bottom for
    // every team with fewer than three members. Leaves the heat results sorted by "G-Zeit".
    static void buildTeamRanking(Competition& c);
};
