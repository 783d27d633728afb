#include "competition/StageDerivation.h"

#include "competition/ClassKey.h"
#include "competition/Competition.h"
#include "competition/Placements.h"
#include "competition/RunState.h"
#include "competition/SelectedCompetitor.h"
#include "competition/StageTables.h"
#include "competition/TeamRanking.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

using namespace StageTables;

namespace {

constexpr int FinalistsPerClass = 10;
constexpr int FirstFinalClass = 1;
constexpr int LastFinalClass = 4;

// Holds the repaint lock of a table for one derivation step, so views see a single reset.
class BulkUpdate {
public:
    explicit BulkUpdate(CompetitionTable& grid) : m_grid(grid) { m_grid.beginUpdate(); }
    ~BulkUpdate() { m_grid.endUpdate(); }
    BulkUpdate(const BulkUpdate&) = delete;
    BulkUpdate& operator=(const BulkUpdate&) = delete;

private:
    CompetitionTable& m_grid;
};

std::optional<qint32> asTime(qint64 value) {
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}

struct CountedRuns {
    qint32 first;
    qint32 second;
    qint32 total;
};

// The two runs that count, in run order, without the slowest (the earliest of equal slowest).
// Nothing when a run is missing, or when the total does not fit a table time, which only
// absurd hand-typed values reach; such a row is treated like one with a missing run.
std::optional<CountedRuns> countedRuns(const std::array<qint32, 3>& runs) {
    if (std::find(runs.cbegin(), runs.cend(), 0) != runs.cend())
        return std::nullopt;
    int dropped = 0;
    for (int i = 1; i < 3; ++i) {
        if (runs[i] > runs[dropped])
            dropped = i;
    }
    std::array<qint32, 2> kept{};
    int k = 0;
    for (int i = 0; i < 3; ++i) {
        if (i != dropped)
            kept[k++] = runs[i];
    }
    const auto total = asTime(qint64(kept[0]) + kept[1]);
    if (!total)
        return std::nullopt;
    return CountedRuns{kept[0], kept[1], *total};
}

// A row of runs with states among them. One state is the run dropped, as long as the other two
// have times; two or three states, or a disqualification, leave the competitor without a total,
// and then the runs still open no longer matter.
struct HeatRating {
    std::optional<CountedRuns> counted;
    std::optional<RunState::Kind> unranked;
};

HeatRating rateHeatRuns(const std::array<QString, 3>& cells, const TimeFormat& format) {
    std::array<qint32, 3> runs{};
    int states = 0;
    int stateAt = -1;
    std::optional<RunState::Kind> heaviest;
    for (int i = 0; i < 3; ++i) {
        const auto state = RunState::fromText(cells[static_cast<size_t>(i)]);
        if (state) {
            ++states;
            stateAt = i;
            if (!heaviest || *state > *heaviest)
                heaviest = state;
        } else {
            runs[static_cast<size_t>(i)] = format.ParseTime(cells[static_cast<size_t>(i)]);
        }
    }
    if (states >= 2 || heaviest == RunState::DSQ)
        return HeatRating{std::nullopt, heaviest};
    if (states == 0)
        return HeatRating{countedRuns(runs), std::nullopt};
    std::array<qint32, 2> kept{};
    int k = 0;
    for (int i = 0; i < 3; ++i) {
        if (i != stateAt)
            kept[static_cast<size_t>(k++)] = runs[static_cast<size_t>(i)];
    }
    if (kept[0] == 0 || kept[1] == 0)
        return {};
    const auto total = asTime(qint64(kept[0]) + kept[1]);
    if (!total)
        return {};
    return HeatRating{CountedRuns{kept[0], kept[1], *total}, std::nullopt};
}

// A row with nothing in any cell, as a new protocol starts with, stands for nobody and so is
// no error either; it is left out all the same.
bool isBlankRow(const CompetitionTable& grid, int row) {
    for (int col = 0; col < grid.columns(); ++col) {
        if (!grid.cell(col, row).trimmed().isEmpty())
            return false;
    }
    return true;
}

// Rows without a place go back in after the ranked ones, each at the end of its class, in the
// order they had.
void appendAtClassEnd(CompetitionTable& grid, const QList<QStringList>& rows, int classColumn) {
    if (rows.isEmpty())
        return;
    for (const QStringList& cells : rows)
        grid.appendRow(cells);
    ClassKey::stableSort(grid, classColumn);
    grid.sortOptions().column = classColumn;
}

// Orders a results table by class; rows keep their order within a class. With whole-number
// classes this is the table's own numeric sort. Other class texts would make that sort's
// mixed number/text comparison inconsistent and could split a class, so they are grouped
// after the numbered classes instead (see ClassKey).
void sortByClass(CompetitionTable& grid, int classColumn) {
    if (ClassKey::allWholeNumbers(grid, classColumn)) {
        grid.sortByColumn(classColumn);
        return;
    }
    ClassKey::stableSort(grid, classColumn);
    grid.sortOptions().column = classColumn;
}

} // namespace

StageDerivation::StageDerivation(Competition& c, QObject* parent)
    : QObject(parent), m_competition(c) {}

void StageDerivation::deriveAll() {
    deriveStage(1);
    deriveStage(2);
    deriveStage(3);
}

void StageDerivation::deriveStage(int stage) {
    if (stage < 1 || stage > 3)
        return;
    // Every rebuild starts the table afresh; the selection goes back to the competitor it was
    // on, or the next run would be entered for whoever took that row's place.
    CompetitionTable& derived = m_competition.stageTable(stage);
    const SelectedCompetitor selected = SelectedCompetitor::of(derived);
    switch (stage) {
    case 1:
        deriveHeatResults();
        break;
    case 2:
        deriveFinalStartList();
        break;
    case 3:
        deriveFinalResults();
        break;
    default:
        return;
    }
    selected.restore(derived);
    Q_EMIT stageDerived(stage);
}

void StageDerivation::deriveHeatResults() {
    const TimeFormat& format = m_competition.timeFormat();
    const CompetitionTable& heat = m_competition.heatStartList();
    CompetitionTable& results = m_competition.heatResults();
    BulkUpdate resultsUpdate(results);
    BulkUpdate teamsUpdate(m_competition.teams());

    m_competition.setStageMessage(1, QString());
    results.sortOptions().canSort = false;
    // Fresh empty rows rather than the sorted rows of the last derivation: the copies below
    // then fill the table in memory order, which large tables notice.
    results.renewDataRows(heat.rowsWithHeader());
    results.copyColumns(heat, Heat::Nr, HeatRes::Nr, Heat::Meister - Heat::Nr + 1);

    int errors = 0;
    QList<QStringList> unranked; // in table order
    for (int r = heat.rowsWithHeader() - 1; r >= 1; --r) {
        const HeatRating rating = rateHeatRuns(
            {heat.cell(Heat::Zeit1, r), heat.cell(Heat::Zeit2, r), heat.cell(Heat::Zeit3, r)},
            format);
        const auto& counted = rating.counted;
        // A row without a start number stands for nobody: ranked, it could come first and
        // make the whole list look empty to the later stages, so no final would be formed.
        const bool numbered = !heat.cell(Heat::Nr, r).trimmed().isEmpty();
        if (rating.unranked && numbered) {
            // Out of the ranking, the team ranking and the final until the rows come back.
            QStringList cells = results.rowCells(r);
            cells[HeatRes::GZeit] = RunState::text(*rating.unranked);
            unranked.prepend(cells);
            results.deleteRow(r);
            continue;
        }
        if (!counted || !numbered) {
            if (!isBlankRow(heat, r))
                ++errors;
            results.deleteRow(r);
            continue;
        }
        results.setCell(HeatRes::Zeit1, r, format.formatTime(counted->first));
        results.setCell(HeatRes::Zeit2, r, format.formatTime(counted->second));
        results.setCell(HeatRes::GZeit, r, format.formatTime(counted->total));
    }
    if (errors > 0) {
        m_competition.setStageMessage(
            1, QStringLiteral("Es sind ") + QString::number(errors) +
                   QStringLiteral(" Fehler gefunden, diese Zeilen werden nicht versäumt"));
    }

    // Checked while the rows still lie in memory order; the team ranking reorders them.
    const bool wholeNumberClasses = ClassKey::allWholeNumbers(results, HeatRes::Kl);
    if (!results.isRowEmpty(1))
        TeamRanking::buildTeamRanking(m_competition);
    else
        m_competition.teams().clearTable();

    if (results.hasData()) {
        SortOptions& options = results.sortOptions();
        options.canSort = true;
        options.direction = sdAscending;
        options.secondaryIndex = QString::number(HeatRes::GZeit);
        if (wholeNumberClasses) {
            // The team ranking has just sorted the rows by "G-Zeit", ascending and stably, which
            // is exactly the secondary pass; only the class pass is left to do.
            options.secondaryIndex.clear();
            results.sortByColumn(HeatRes::Kl);
            options.secondaryIndex = QString::number(HeatRes::GZeit);
        } else {
            results.sortByColumn(HeatRes::GZeit);
            sortByClass(results, HeatRes::Kl);
        }
        Placements::assignPlacements(results, HeatRes::Kl, HeatRes::GZeit, format);
        // Sorting stays on: the heat results may be re-sorted by a click on a caption.
    }
    appendAtClassEnd(results, unranked, HeatRes::Kl);
    if (!unranked.isEmpty()) {
        SortOptions& options = results.sortOptions();
        options.canSort = true;
        options.direction = sdAscending;
        options.secondaryIndex = QString::number(HeatRes::GZeit);
    }
}

void StageDerivation::deriveFinalStartList() {
    const TimeFormat& format = m_competition.timeFormat();
    const CompetitionTable& results = m_competition.heatResults();
    const CompetitionTable& heat = m_competition.heatStartList();
    CompetitionTable& finals = m_competition.finalStartList();
    BulkUpdate finalsUpdate(finals);

    if (!results.hasData()) {
        finals.clearTable();
        return;
    }
    finals.sortOptions().canSort = false;

    // Candidates of each final class in table order, fastest heat total first. Stage 1 left
    // the heat results so (sorted by class, ascending); only when a click on a caption has
    // re-sorted them since are the candidates put back into that order here.
    const SortOptions& resultOrder = results.sortOptions();
    const bool inDerivedOrder =
        resultOrder.column == HeatRes::Kl && resultOrder.direction == sdAscending;
    std::array<QList<int>, LastFinalClass + 1> groups;
    for (int r = 1; r < results.rowsWithHeader(); ++r) {
        if (RunState::isState(results.cell(HeatRes::GZeit, r)))
            continue; // no total, no final
        const ClassKey key = ClassKey::fromText(results.cell(HeatRes::Kl, r));
        if (key.isFinalClass())
            groups[static_cast<size_t>(*key.number())].append(r);
    }
    QList<qint32> totals(inDerivedOrder ? 0 : results.rowsWithHeader());
    QList<int> taken;
    for (int cls = FirstFinalClass; cls <= LastFinalClass; ++cls) {
        QList<int>& group = groups[static_cast<size_t>(cls)];
        if (!inDerivedOrder) {
            for (int r : group)
                totals[r] = format.ParseTime(results.cell(HeatRes::GZeit, r));
            std::stable_sort(group.begin(), group.end(),
                             [&](int a, int b) { return totals[a] < totals[b]; });
        }
        int count = 0;
        for (bool champions : {true, false}) {
            for (int r : group) {
                if (count == FinalistsPerClass)
                    break;
                const bool isChampion = results.cell(HeatRes::Meister, r) == QStringLiteral("+");
                if (isChampion == champions) {
                    taken.append(r);
                    ++count;
                }
            }
        }
    }
    if (taken.isEmpty()) {
        finals.clearTable();
        return;
    }

    finals.setRowsWithHeader(static_cast<int>(taken.size()) + 1);
    for (int i = 0; i < taken.size(); ++i) {
        for (int col = FinalStart::Nr; col <= FinalStart::Zeit5; ++col)
            finals.setCell(col, i + 1, results.cell(col + 1, taken[i]));
    }
    finals.copyColumn(finals, FinalStart::Zeit5, FinalStart::GZeit);
    finals.setCell(FinalStart::GZeit, 0, results.cell(HeatRes::GZeit, 0));
    finals.clearColumn(FinalStart::Zeit4);
    finals.clearColumn(FinalStart::Zeit5);

    // Descending by total, then by class: the fastest of a class starts last.
    SortOptions& options = finals.sortOptions();
    options.canSort = true;
    options.secondaryIndex.clear();
    options.direction = sdDescending;
    finals.sortByColumn(FinalStart::GZeit);
    options.direction = sdAscending;
    finals.sortByColumn(FinalStart::Kl);

    // The final runs live in the heat start list; they follow the competitor by start number.
    for (int r = 1; r < finals.rowsWithHeader(); ++r) {
        const int source = heat.findRow(Heat::Nr, finals.cell(FinalStart::Nr, r));
        if (source < 0)
            continue;
        finals.setCell(FinalStart::Zeit4, r, heat.cell(Heat::Zeit4, source));
        finals.setCell(FinalStart::Zeit5, r, heat.cell(Heat::Zeit5, source));
    }
    options.canSort = false;
}

void StageDerivation::deriveFinalResults() {
    const TimeFormat& format = m_competition.timeFormat();
    const CompetitionTable& finals = m_competition.finalStartList();
    CompetitionTable& results = m_competition.finalResults();
    BulkUpdate resultsUpdate(results);

    if (!finals.hasData()) {
        results.clearTable();
        return;
    }
    results.sortOptions().canSort = false;
    results.setRowsWithHeader(finals.rowsWithHeader());
    results.copyColumns(finals, FinalStart::Nr, FinalRes::Nr, FinalStart::Zeit5 + 1);
    results.clearColumn(FinalRes::Pl);
    results.clearColumn(FinalRes::Endzeit);

    // A finalist without both final runs has no result; neither has one whose total does not
    // fit a table time. One with a state in a final run is listed after all full totals.
    QList<QStringList> unranked;
    for (int r = finals.rowsWithHeader() - 1; r >= 1; --r) {
        const auto state = RunState::heaviest(
            {finals.cell(FinalStart::Zeit4, r), finals.cell(FinalStart::Zeit5, r)});
        if (state) {
            QStringList cells = results.rowCells(r);
            cells[FinalRes::Endzeit] = RunState::text(*state);
            unranked.prepend(cells);
            results.deleteRow(r);
            continue;
        }
        const qint32 total = format.ParseTime(finals.cell(FinalStart::GZeit, r));
        const qint32 run1 = format.ParseTime(finals.cell(FinalStart::Zeit4, r));
        const qint32 run2 = format.ParseTime(finals.cell(FinalStart::Zeit5, r));
        const auto endTime = asTime(qint64(total) + run1 + run2);
        if (run1 < 1 || run2 < 1 || !endTime) {
            results.deleteRow(r);
            continue;
        }
        results.setCell(FinalRes::Endzeit, r, format.formatTime(*endTime));
    }

    if (results.hasData()) {
        SortOptions& options = results.sortOptions();
        options.canSort = true;
        options.direction = sdAscending;
        options.secondaryIndex = QString::number(FinalRes::Zeit4);
        results.sortByColumn(FinalRes::Endzeit);
        options.secondaryIndex.clear();
        sortByClass(results, FinalRes::Kl);
        Placements::assignPlacements(results, FinalRes::Kl, FinalRes::Endzeit, format);
        options.canSort = false;
    }
    appendAtClassEnd(results, unranked, FinalRes::Kl);
}
