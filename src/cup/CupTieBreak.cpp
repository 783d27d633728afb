#include "cup/CupTieBreak.h"

#include <algorithm>
#include <climits>

namespace {

using Row = CupStandings::Row;
using Kind = CupStandings::RaceResult::Kind;

// What the tie-breaks look at, taken from a row once instead of at every comparison.
struct Ranked {
    Row row;
    QList<int> placesAscending;  // his places over all races, best first
    QList<int> placesFromLatest; // per race from the last back; INT_MAX without a place
};

Ranked prepare(Row row) {
    Ranked ranked;
    for (qsizetype i = row.races.size() - 1; i >= 0; --i) {
        const CupStandings::RaceResult& result = row.races.at(i);
        const bool placed = result.kind == Kind::Scored && result.place > 0;
        ranked.placesFromLatest.append(placed ? result.place : INT_MAX);
        if (placed)
            ranked.placesAscending.append(result.place);
    }
    std::sort(ranked.placesAscending.begin(), ranked.placesAscending.end());
    ranked.row = std::move(row);
    return ranked;
}

// Negative: a is ahead.
int compareTotals(const Row& a, const Row& b, const CupRules& rules) {
    if (rules.highestWins()) {
        if (a.total != b.total)
            return a.total > b.total ? -1 : 1;
        return 0;
    }
    if (a.countedRaces != b.countedRaces)
        return a.countedRaces > b.countedRaces ? -1 : 1;
    if (a.total != b.total)
        return a.total < b.total ? -1 : 1;
    return 0;
}

// More first places wins, then more second places, ...: the sorted places compared one by
// one, where a place the other does not have at all counts for its owner.
int countback(const Ranked& a, const Ranked& b) {
    const qsizetype common = std::min(a.placesAscending.size(), b.placesAscending.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (a.placesAscending.at(i) != b.placesAscending.at(i))
            return a.placesAscending.at(i) < b.placesAscending.at(i) ? -1 : 1;
    }
    if (a.placesAscending.size() != b.placesAscending.size())
        return a.placesAscending.size() > b.placesAscending.size() ? -1 : 1;
    return 0;
}

// From the last race back, the first race where their places differ decides; a place beats
// none.
int latestRace(const Ranked& a, const Ranked& b) {
    const qsizetype races = std::min(a.placesFromLatest.size(), b.placesFromLatest.size());
    for (qsizetype i = 0; i < races; ++i) {
        if (a.placesFromLatest.at(i) != b.placesFromLatest.at(i))
            return a.placesFromLatest.at(i) < b.placesFromLatest.at(i) ? -1 : 1;
    }
    return 0;
}

int compare(const Ranked& a, const Ranked& b, const CupRules& rules) {
    if (const int byTotal = compareTotals(a.row, b.row, rules))
        return byTotal;
    for (const CupRules::TieBreak tieBreak : rules.tieBreaks) {
        int result = 0;
        switch (tieBreak) {
        case CupRules::TieBreak::CountedRaces:
            if (a.row.countedRaces != b.row.countedRaces)
                result = a.row.countedRaces > b.row.countedRaces ? -1 : 1;
            break;
        case CupRules::TieBreak::Countback:
            result = countback(a, b);
            break;
        case CupRules::TieBreak::LatestRace:
            result = latestRace(a, b);
            break;
        }
        if (result)
            return result;
    }
    return 0;
}

// Within a shared place, and among the rows without a place, the list reads alphabetically.
bool alphabetical(const Row& a, const Row& b) {
    const int byName = QString::localeAwareCompare(a.identity.name, b.identity.name);
    if (byName != 0)
        return byName < 0;
    const int byFirst = QString::localeAwareCompare(a.identity.firstName, b.identity.firstName);
    if (byFirst != 0)
        return byFirst < 0;
    return a.key < b.key;
}

void sortRows(QList<Ranked>& rows, const CupRules& rules) {
    std::sort(rows.begin(), rows.end(), [&](const Ranked& a, const Ranked& b) {
        if (const int order = compare(a, b, rules))
            return order < 0;
        return alphabetical(a.row, b.row);
    });
}

} // namespace

namespace CupTieBreak {

void rank(QList<Row>& rows, const CupRules& rules) {
    QList<Ranked> ranked;
    QList<Ranked> unranked;
    for (Row& row : rows)
        (row.place != 0 ? ranked : unranked).append(prepare(std::move(row)));
    sortRows(ranked, rules);
    // Without a place, the nearer a competitor is to the starts he lacks, the higher he stands.
    std::sort(unranked.begin(), unranked.end(), [&](const Ranked& a, const Ranked& b) {
        if (a.row.starts != b.row.starts)
            return a.row.starts > b.row.starts;
        if (const int order = compare(a, b, rules))
            return order < 0;
        return alphabetical(a.row, b.row);
    });

    QList<bool> tiedWithPrevious(ranked.size(), false);
    for (qsizetype i = 1; i < ranked.size(); ++i)
        tiedWithPrevious[i] = compare(ranked.at(i - 1), ranked.at(i), rules) == 0;
    const qint64 leaderTotal = ranked.isEmpty() ? 0 : ranked.first().row.total;

    rows.clear();
    rows.reserve(ranked.size() + unranked.size());
    for (qsizetype i = 0; i < ranked.size(); ++i) {
        Row& row = ranked[i].row;
        row.place = tiedWithPrevious.at(i) ? rows.last().place : int(i) + 1;
        row.sharedPlace =
            tiedWithPrevious.at(i) || (i + 1 < ranked.size() && tiedWithPrevious.at(i + 1));
        row.runOff = row.sharedPlace && row.place <= 3;
        row.gap = qAbs(row.total - leaderTotal);
        rows.append(std::move(row));
    }
    for (Ranked& entry : unranked) {
        entry.row.place = 0;
        entry.row.gap = 0;
        rows.append(std::move(entry.row));
    }
}

} // namespace CupTieBreak
