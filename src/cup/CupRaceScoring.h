#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"
#include "cup/PointsFormula.h"

#include <QList>
#include <optional>

struct CupEntry;

// What one race gives the competitors of one class: each entry's value by the cup's scoring,
// cut-off, status rule and the race's weight.
class CupRaceScoring {
public:
    // formula: the cup's parsed formula; without one a formula cup gives 0 points.
    CupRaceScoring(const CupRules& rules, const std::optional<PointsFormula>& formula,
                   int weightPercent, const QList<const CupEntry*>& classEntries);

    CupStandings::RaceResult score(const CupEntry& entry) const;

    // The most points a ranked competitor could get here before the weight: the formula at
    // t = best, or the first place of the table.
    qint64 topValue() const;

    static qint64 weighted(qint64 value, int weightPercent);
    // A place, or a DNF or DSQ: he was on the track.
    static bool isStart(const CupStandings::RaceResult& result);

private:
    qint64 pointsOfPlace(int place) const;
    qint64 formulaPoints(qint64 t) const;
    bool beyondCutOff(qint64 t) const;
    qint64 placedValue(const CupEntry& entry) const;
    qint64 statusValue() const;

    const CupRules& m_rules;
    const std::optional<PointsFormula>& m_formula;
    int m_weightPercent;
    int m_ranked = 0;           // entries of the class with a place
    qint64 m_best = 0;          // the class's best G-Zeit, hundredths; 0 without any
    qint64 m_slowestRanked = 0; // the slowest G-Zeit among those with a place
};
