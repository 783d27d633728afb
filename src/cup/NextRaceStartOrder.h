#pragma once

#include <QList>
#include <QStringList>

struct CupStandings;

// A heat start list for the next race from the standings: class by class, the competitors
// without a place first, then the ranked ones in reverse order, so the leader starts last.
// Rows laid out as the heat start list (header first), numbered 1.. in start order.
namespace NextRaceStartOrder {

QList<QStringList> rows(const CupStandings& standings, const QStringList& header);

} // namespace NextRaceStartOrder
