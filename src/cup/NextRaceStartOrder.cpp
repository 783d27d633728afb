#include "cup/NextRaceStartOrder.h"

#include "competition/StageTables.h"
#include "cup/CupStandings.h"

namespace NextRaceStartOrder {

namespace {

QStringList rowOf(const CupStandings::Row& row, int number) {
    using namespace StageTables;
    QStringList cells(StageTables::columnCount(HeatStartList));
    cells[Heat::Nr] = QString::number(number);
    cells[Heat::Name] = row.identity.name;
    cells[Heat::Vorname] = row.identity.firstName;
    cells[Heat::Verein] = row.identity.club;
    cells[Heat::Kl] = row.cls;
    return cells;
}

} // namespace

QList<QStringList> rows(const CupStandings& standings, const QStringList& header) {
    QList<QStringList> rows{header};
    int number = 0;
    for (const CupStandings::ClassTable& table : standings.classes) {
        // Those without a place first, then the ranked ones from the back: the leader starts
        // last, as in the final.
        for (const CupStandings::Row& row : table.rows) {
            if (row.place == 0)
                rows.append(rowOf(row, ++number));
        }
        for (auto it = table.rows.crbegin(); it != table.rows.crend(); ++it) {
            if (it->place > 0)
                rows.append(rowOf(*it, ++number));
        }
    }
    return rows;
}

} // namespace NextRaceStartOrder
