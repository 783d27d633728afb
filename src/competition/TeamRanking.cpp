#include "competition/TeamRanking.h"

#include "competition/Competition.h"
#include "competition/DecimalText.h"
#include "competition/StageTables.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int TeamSize = 3;

// A team while it is built: its members as heat results rows, fastest first. The first
// member's row also gives the team's name.
struct Team {
    std::array<int, TeamSize> members{};
    int count = 0;
    double total = 0;
};

} // namespace

void TeamRanking::buildTeamRanking(Competition& c) {
    using namespace StageTables;
    CompetitionTable& results = c.heatResults();
    CompetitionTable& teams = c.teams();
    const QChar separator = c.timeFormat().decimalSeparator();

    SortOptions& options = results.sortOptions();
    options.canSort = true;
    options.direction = sdAscending;
    options.secondaryIndex = QString::number(HeatRes::GZeit);
    results.sortByColumn(HeatRes::GZeit);
    options.canSort = false;

    // Members join their team fastest first, since the results are now ordered by total.
    // A total that is not a number ends the reading; the teams read so far are still ranked.
    QList<Team> built;
    built.reserve(results.rowsWithHeader());
    // Keyed by views into the table, which stays unchanged while they are used.
    QHash<QStringView, qsizetype> byName;
    byName.reserve(results.rowsWithHeader());
    for (int p = 1; p < results.rowsWithHeader(); ++p) {
        const auto value = parseDecimalNumber(results.cell(HeatRes::GZeit, p), separator);
        if (!value)
            break;
        const QStringView name = results.cell(HeatRes::Verein, p);
        const auto found = byName.constFind(name);
        if (found == byName.cend()) {
            byName.insert(name, built.size());
            built.append(Team{{p, 0, 0}, 1, *value});
            continue;
        }
        Team& team = built[*found];
        if (team.count >= TeamSize)
            continue;
        const double total = team.total + *value;
        if (!std::isfinite(total))
            break;
        team.members[static_cast<size_t>(team.count++)] = p;
        team.total = total;
    }

    // Ranked by the total as written, so that totals that print alike count as equal.
    struct Ranked {
        qsizetype team;
        QString text;
        double key;
    };
    QList<Ranked> ranked;
    for (qsizetype t = 0; t < built.size(); ++t) {
        if (built[t].count < TeamSize)
            continue;
        const QString text = formatGeneralNumber(built[t].total, separator);
        ranked.append(
            Ranked{t, text, parseDecimalNumber(text, separator).value_or(built[t].total)});
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const Ranked& a, const Ranked& b) { return a.key < b.key; });

    auto memberText = [&](int row) {
        return results.cell(HeatRes::Name, row) + u' ' + results.cell(HeatRes::Vorname, row) +
               QStringLiteral(" : ") + results.cell(HeatRes::GZeit, row);
    };
    // Written over the rows of the last ranking instead of emptying the table first; the
    // result is the same table, without reallocating one row per club on every derivation.
    teams.beginUpdate();
    teams.setRowsWithHeader(static_cast<int>(built.size()) + 1);
    for (int r = 1; r < teams.rowsWithHeader(); ++r) {
        const qsizetype i = r - 1;
        if (i >= ranked.size()) {
            if (!teams.isRowEmpty(r))
                teams.setRowCells(r, QStringList());
            continue;
        }
        const Team& team = built[ranked[i].team];
        teams.setRowCells(r, {ranked[i].text, results.cell(HeatRes::Verein, team.members[0]),
                              memberText(team.members[0]), memberText(team.members[1]),
                              memberText(team.members[2])});
    }
    teams.setRow(1);
    teams.endUpdate();
}
