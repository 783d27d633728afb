#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"
#include "live/LiveSnapshot.h"

// The cup's standings as the live pages show them on a phone: per class the place, the name,
// the club, the total and the gap; the single races stay in the published documents.
namespace LiveCupTables {

LiveSnapshot::Cup build(const CupStandings& standings, const QString& cupName,
                        CupRules::Scoring scoring);

} // namespace LiveCupTables
