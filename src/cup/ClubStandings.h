#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"

#include <QList>

// The clubs' standings from the ranked rows of the classes: each club's best K members
// summed, per class or over all classes as the cup chooses.
namespace ClubStandings {

QList<CupStandings::ClubTable> compute(const QList<CupStandings::ClassTable>& classes,
                                       const CupRules& rules);

} // namespace ClubStandings
