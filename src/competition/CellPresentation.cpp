#include "competition/CellPresentation.h"

#include "competition/CompetitionTable.h"
#include "competition/RunState.h"
#include "competition/StageTables.h"
#include "competition/SubstituteMarks.h"

using namespace StageTables;

std::optional<int> CellPresentation::discardedHeatRun(const CompetitionTable& grid, int row,
                                                      const TimeFormat& timeFormat) {
    for (int col = Heat::Zeit1; col <= Heat::Zeit3; ++col) {
        if (RunState::isState(grid.cell(col, row)))
            return std::nullopt;
    }
    int worstColumn = Heat::Zeit1;
    qint32 worst = timeFormat.ParseTime(grid.cell(Heat::Zeit1, row));
    for (int col = Heat::Zeit2; col <= Heat::Zeit3; ++col) {
        const qint32 value = timeFormat.ParseTime(grid.cell(col, row));
        if (value > worst) {
            worst = value;
            worstColumn = col;
        }
    }
    if (worst <= 0)
        return std::nullopt;
    return worstColumn;
}

std::optional<std::pair<int, int>>
CellPresentation::countedHeatRuns(const CompetitionTable& heatStartList, int row,
                                  const TimeFormat& timeFormat) {
    std::optional<int> stateAt;
    for (int run = 0; run < 3; ++run) {
        if (RunState::isState(heatStartList.cell(Heat::Zeit1 + run, row))) {
            if (stateAt)
                return std::nullopt;
            stateAt = run;
        }
    }
    std::optional<int> dropped = stateAt;
    if (!dropped) {
        const std::optional<int> column = discardedHeatRun(heatStartList, row, timeFormat);
        if (!column)
            return std::nullopt;
        dropped = *column - Heat::Zeit1;
    }
    return std::pair{*dropped == 0 ? 1 : 0, *dropped == 2 ? 1 : 2};
}

namespace {

// The run (0..4 for "Zeit1".."Zeit5") a time column of a stage table shows for the competitor
// in heatRow of the heat start list; nothing for a column that shows no run.
std::optional<int> runShownIn(int tag, int col, const CompetitionTable& heatStartList, int heatRow,
                              const TimeFormat& timeFormat) {
    switch (tag) {
    case HeatStartList:
        if (col >= Heat::Zeit1 && col <= Heat::Zeit5)
            return col - Heat::Zeit1;
        break;
    case HeatResults:
        // The two counted heat runs in run order, as the derivation writes them: a text shown
        // by two runs is still the one run's.
        if (col == HeatRes::Zeit1 || col == HeatRes::Zeit2) {
            const auto counted =
                CellPresentation::countedHeatRuns(heatStartList, heatRow, timeFormat);
            if (!counted)
                break;
            return col == HeatRes::Zeit1 ? counted->first : counted->second;
        }
        break;
    case FinalStartList:
        if (col == FinalStart::Zeit4 || col == FinalStart::Zeit5)
            return 3 + col - FinalStart::Zeit4;
        break;
    case FinalResults:
        if (col == FinalRes::Zeit4 || col == FinalRes::Zeit5)
            return 3 + col - FinalRes::Zeit4;
        break;
    default:
        break;
    }
    return std::nullopt;
}

} // namespace

bool CellPresentation::isSubstitute(const CompetitionTable& grid, int col, int row,
                                    const CompetitionTable& heatStartList,
                                    const SubstituteMarks& marks, const TimeFormat& timeFormat) {
    if (marks.isEmpty() || row <= 0 || row >= grid.rowsWithHeader())
        return false;
    const QString text = grid.cell(col, row).trimmed();
    if (text.isEmpty())
        return false;
    const int nrColumn = grid.tag() == HeatResults || grid.tag() == FinalResults
                             ? static_cast<int>(HeatRes::Nr)
                             : static_cast<int>(Heat::Nr);
    const QString number = grid.cell(nrColumn, row).trimmed();
    if (!marks.hasNumber(number))
        return false;
    for (int heatRow = 1; heatRow < heatStartList.rowsWithHeader(); ++heatRow) {
        if (heatStartList.cell(Heat::Nr, heatRow).trimmed() != number)
            continue;
        const std::optional<int> run =
            runShownIn(grid.tag(), col, heatStartList, heatRow, timeFormat);
        if (!run)
            return false;
        const QString& runText = heatStartList.cell(Heat::Zeit1 + *run, heatRow);
        return runText.trimmed() == text && marks.isSubstitute(number, *run, runText);
    }
    return false;
}

bool CellPresentation::isSubstitute(const CompetitionTable& grid, int col, int row,
                                    const SubstituteSource& substitutes) {
    return substitutes.heatStartList && substitutes.marks &&
           isSubstitute(grid, col, row, *substitutes.heatStartList, *substitutes.marks,
                        substitutes.timeFormat ? *substitutes.timeFormat : TimeFormat());
}

CellPresentation::Mark CellPresentation::mark(const CompetitionTable& grid, int col, int row,
                                              const SubstituteSource& substitutes) {
    // The state colour belongs to the time columns only, as on screen; the time format plays
    // no part in it.
    if (RunState::isState(grid.cell(col, row)) &&
        format(grid, col, row, false, TimeFormat()).background == StateBackground)
        return Mark::State;
    if (isSubstitute(grid, col, row, substitutes))
        return Mark::Substitute;
    return Mark::None;
}

CellFormat CellPresentation::format(const CompetitionTable& grid, int col, int row, bool selected,
                                    const TimeFormat& timeFormat, bool substitute) {
    CellFormat result;
    if (row <= 0)
        return result;
    const QList<ColumnSpec> specs = columns(grid.tag());
    if (col >= 0 && col < specs.size())
        result.alignment = specs[col].alignment;
    std::optional<quint32> background;
    switch (grid.tag()) {
    case HeatStartList:
        if (col >= Heat::Zeit1 && col <= Heat::Zeit3) {
            background = LightGreen;
            if (discardedHeatRun(grid, row, timeFormat) == col)
                result.fontColour = Red;
        }
        break;
    case HeatResults:
        if (col == HeatRes::Zeit1 || col == HeatRes::Zeit2)
            background = LightGreen;
        else if (col == HeatRes::GZeit)
            background = LightRed;
        break;
    case FinalStartList:
        if (col == FinalStart::GZeit)
            background = LightYellow;
        else if (col == FinalStart::Zeit4 || col == FinalStart::Zeit5)
            background = LightGreen;
        break;
    case FinalResults:
        if (col == FinalRes::GZeit) {
            background = LightYellow;
        } else if (col == FinalRes::Zeit4 || col == FinalRes::Zeit5) {
            background = LightGreen;
        } else if (col == FinalRes::Endzeit) {
            background = LightRed;
            const QString place = grid.cell(FinalRes::Pl, row);
            if (place == QStringLiteral("1") || place == QStringLiteral("2") ||
                place == QStringLiteral("3"))
                result.fontColour = Red;
        }
        break;
    default:
        break;
    }
    if (background && substitute)
        background = SubstituteBackground;
    // Only time columns have a background of their own; a name that reads "DNS" stays a name.
    // On the selection the state keeps the selection's own text colour, which reads on it.
    if (background && RunState::isState(grid.cell(col, row))) {
        background = StateBackground;
        if (!selected)
            result.fontColour = StateText;
    }
    if (!selected)
        result.background = background;
    return result;
}
