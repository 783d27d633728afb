#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"

#include <QList>

// The order of a class's standings: the total by the scoring's direction, then the cup's chain
// of tie-breaks; what the chain leaves equal shares the place.
namespace CupTieBreak {

// Sorts the rows: those with a place (place != 0 on entry marks them) by the order, numbered
// with shared places, "Stechen" on the podium and the gap to the leader; then the rows
// without a place, by the same order.
void rank(QList<CupStandings::Row>& rows, const CupRules& rules);

} // namespace CupTieBreak
