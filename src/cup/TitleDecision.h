#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"

// Whether the first place of a class can still change ("uneinholbar"): only for points, where
// the races still to come can only add to a total.
namespace TitleDecision {

// racesSoFar: the races of the cup; topPerRace: the most one race still to come can give,
// after the highest weight of the cup's races, in hundredths.
void mark(CupStandings::ClassTable& table, const CupRules& rules, int racesSoFar,
          qint64 topPerRace);

} // namespace TitleDecision
