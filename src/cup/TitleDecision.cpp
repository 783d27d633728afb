#include "cup/TitleDecision.h"

#include <algorithm>
#include <functional>

namespace {

// His best-N total if every remaining race gave him the most a race can give.
qint64 bestPossible(const CupStandings::Row& row, const CupRules& rules, int remaining,
                    qint64 topPerRace) {
    QList<qint64> values;
    for (const CupStandings::RaceResult& result : row.races) {
        if (result.kind == CupStandings::RaceResult::Kind::Scored && result.hasValue)
            values.append(result.value);
    }
    for (int i = 0; i < remaining; ++i)
        values.append(topPerRace);
    std::sort(values.begin(), values.end(), std::greater<>());
    const qsizetype counted =
        rules.bestOf > 0 ? std::min<qsizetype>(rules.bestOf, values.size()) : values.size();
    qint64 total = 0;
    for (qsizetype i = 0; i < counted; ++i)
        total += values.at(i);
    return total;
}

} // namespace

namespace TitleDecision {

void mark(CupStandings::ClassTable& table, const CupRules& rules, int racesSoFar,
          qint64 topPerRace) {
    if (!rules.highestWins() || table.rows.isEmpty())
        return;
    CupStandings::Row& leader = table.rows.first();
    if (leader.place != 1 || leader.sharedPlace)
        return;
    const int remaining = std::max(0, rules.plannedRaces - racesSoFar);
    if (remaining == 0) {
        leader.titleDecided = rules.plannedRaces > 0 && racesSoFar >= rules.plannedRaces;
        return;
    }
    // Somebody not yet in the class (a newcomer, or one who changes class) could still take
    // every remaining race, if that gives him enough starts to be ranked at all.
    if (remaining >= rules.minStarts) {
        const int races = rules.bestOf > 0 ? std::min(rules.bestOf, remaining) : remaining;
        if (topPerRace * races >= leader.total)
            return;
    }
    for (qsizetype i = 1; i < table.rows.size(); ++i) {
        const CupStandings::Row& other = table.rows.at(i);
        // One who cannot reach the minimum of starts any more cannot take the first place.
        if (other.starts + remaining < rules.minStarts)
            continue;
        if (bestPossible(other, rules, remaining, topPerRace) >= leader.total)
            return;
    }
    leader.titleDecided = true;
}

} // namespace TitleDecision
