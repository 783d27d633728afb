#include "competition/TeamRanking.h"

#include "competition/Competition.h"
#include "competition/DecimalText.h"
#include "competition/StageTables.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace {

constexpr int TeamSize = 3;

struct Team {
    QString name;
    QStringList members;
    double total = 0;
};

} // namespace

void TeamRanking::BuildTeamRanking(Competition& c) {
    using namespace StageTables;
    TSortGrid& results = c.heatResults();
    TSortGrid& teams = c.teams();
    const QChar separator = c.timeFormat().decimalSeparator();

    TSortOptions& options = results.sortOptions();
    options.CanSort = true;
    options.SortDirection = sdAscending;
    options.SecondaryIndex = QString::number(HeatRes::GZeit);
    results.SortByColumn(HeatRes::GZeit);
    options.CanSort = false;

    // Members join their team fastest first, since the results are now ordered by total.
    // A total that is not a number ends the reading; the teams read so far are still ranked.
    QList<Team> built;
    QHash<QString, qsizetype> byName;
    for (int p = 1; p < results.RowCount(); ++p) {
        const QString totalText = results.cell(HeatRes::GZeit, p);
        const auto value = parseDecimalNumber(totalText, separator);
        if (!value)
            break;
        const QString name = results.cell(HeatRes::Verein, p);
        const QString member = results.cell(HeatRes::Name, p) + u' ' +
                               results.cell(HeatRes::Vorname, p) + QStringLiteral(" : ") +
                               totalText;
        const auto found = byName.constFind(name);
        if (found == byName.cend()) {
            byName.insert(name, built.size());
            built.append(Team{name, {member}, *value});
            continue;
        }
        Team& team = built[*found];
        if (team.members.size() >= TeamSize)
            continue;
        const double total = team.total + *value;
        if (!std::isfinite(total))
            break;
        team.members.append(member);
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
        if (built[t].members.size() < TeamSize)
            continue;
        const QString text = formatGeneralNumber(built[t].total, separator);
        ranked.append(
            Ranked{t, text, parseDecimalNumber(text, separator).value_or(built[t].total)});
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const Ranked& a, const Ranked& b) { return a.key < b.key; });

    teams.beginUpdate();
    teams.SetRowCount(2);
    teams.ClearTable();
    teams.SetRowCount(static_cast<int>(built.size()) + 1);
    for (qsizetype i = 0; i < ranked.size(); ++i) {
        const Team& team = built[ranked[i].team];
        teams.setRowCells(static_cast<int>(i) + 1, {ranked[i].text, team.name, team.members[0],
                                                    team.members[1], team.members[2]});
    }
    teams.endUpdate();
}
