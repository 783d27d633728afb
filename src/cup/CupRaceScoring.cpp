#include "cup/CupRaceScoring.h"

#include "cup/CupEntry.h"

#include <algorithm>

CupRaceScoring::CupRaceScoring(const CupRules& rules, const std::optional<PointsFormula>& formula,
                               int weightPercent, const QList<const CupEntry*>& classEntries)
    : m_rules(rules), m_formula(formula), m_weightPercent(weightPercent) {
    for (const CupEntry* entry : classEntries) {
        if (entry->total > 0 && (m_best == 0 || entry->total < m_best))
            m_best = entry->total;
        if (entry->place > 0) {
            ++m_ranked;
            m_slowestRanked = std::max<qint64>(m_slowestRanked, entry->total);
        }
    }
}

qint64 CupRaceScoring::weighted(qint64 value, int weightPercent) {
    const qint64 product = value * weightPercent;
    // Half away from zero, like every rounding of the cup.
    return product >= 0 ? (product + 50) / 100 : -((-product + 50) / 100);
}

bool CupRaceScoring::isStart(const CupStandings::RaceResult& result) {
    if (result.kind != CupStandings::RaceResult::Kind::Scored)
        return false;
    return result.place > 0 || result.status == QLatin1String("DNF") ||
           result.status == QLatin1String("DSQ");
}

qint64 CupRaceScoring::pointsOfPlace(int place) const {
    if (place < 1 || place > m_rules.pointsTable.size())
        return 0;
    return qint64(m_rules.pointsTable.at(place - 1)) * 100;
}

qint64 CupRaceScoring::formulaPoints(qint64 t) const {
    if (!m_formula || t <= 0 || m_best <= 0)
        return 0;
    // A formula that cannot be reckoned for this time (a division by zero) gives nothing.
    return m_formula->evaluate(double(t) / 100.0, double(m_best) / 100.0).value_or(0);
}

bool CupRaceScoring::beyondCutOff(qint64 t) const {
    if (!m_rules.cutOffPercent || m_best <= 0 || t <= 0)
        return false;
    // (t - best) / best * 100 > percent, without dividing.
    return double(t - m_best) * 100.0 > *m_rules.cutOffPercent * double(m_best);
}

qint64 CupRaceScoring::topValue() const {
    switch (m_rules.scoring) {
    case CupRules::Scoring::PointsTable:
        return pointsOfPlace(1);
    case CupRules::Scoring::Formula:
        return formulaPoints(m_best);
    case CupRules::Scoring::TimeSum:
    case CupRules::Scoring::PlaceSum:
        break;
    }
    return 0;
}

qint64 CupRaceScoring::placedValue(const CupEntry& entry) const {
    switch (m_rules.scoring) {
    case CupRules::Scoring::PointsTable:
        return beyondCutOff(entry.total) ? 0 : pointsOfPlace(entry.place);
    case CupRules::Scoring::Formula:
        return beyondCutOff(entry.total) ? 0 : formulaPoints(entry.total);
    case CupRules::Scoring::TimeSum:
        return entry.total;
    case CupRules::Scoring::PlaceSum:
        break;
    }
    return qint64(entry.place) * 100;
}

qint64 CupRaceScoring::statusValue() const {
    if (m_rules.statusRule == CupRules::StatusRule::FixedPoints)
        return m_rules.statusValue;
    switch (m_rules.scoring) {
    case CupRules::Scoring::PointsTable:
        return pointsOfPlace(m_ranked + 1);
    case CupRules::Scoring::Formula:
        return 0;
    case CupRules::Scoring::TimeSum:
        return m_slowestRanked;
    case CupRules::Scoring::PlaceSum:
        break;
    }
    return qint64(m_ranked + 1) * 100;
}

CupStandings::RaceResult CupRaceScoring::score(const CupEntry& entry) const {
    CupStandings::RaceResult result;
    result.kind = CupStandings::RaceResult::Kind::Scored;
    if (entry.place > 0) {
        result.place = entry.place;
        result.hasValue = true;
        result.value = weighted(placedValue(entry), m_weightPercent);
        return result;
    }
    result.status = entry.status;
    if (m_rules.statusRule == CupRules::StatusRule::NoPoints)
        return result;
    result.hasValue = true;
    result.value = weighted(statusValue(), m_weightPercent);
    return result;
}
