#include "competition/RunStateEntry.h"

#include "competition/Competition.h"
#include "competition/ResultEntry.h"
#include "competition/StageTables.h"

using namespace StageTables;

namespace {

bool isFinalPage(int activePage) {
    return activePage == 2 || activePage == 3;
}

// The runs of the stage as heat start list columns, in run order.
QList<int> stageRuns(int activePage) {
    if (isFinalPage(activePage))
        return {Heat::Zeit4, Heat::Zeit5};
    return {Heat::Zeit1, Heat::Zeit2, Heat::Zeit3};
}

// The final start list holds the final runs two columns further left than the heat start list.
constexpr int FinalOffset = int(Heat::Zeit4) - int(FinalStart::Zeit4);

struct Target {
    int heatRow = -1;
    int tableRow = -1;
    RunStateEntry::Outcome failure = RunStateEntry::Outcome::Written;
};

Target targetOf(Competition& competition, int activePage) {
    CompetitionTable& table = ResultEntry::targetTable(competition, activePage);
    const int row = table.selectedRow();
    const QString number = table.cell(Heat::Nr, row);
    if (number.trimmed().isEmpty())
        return {-1, -1, RunStateEntry::Outcome::NoCompetitor};
    if (!isFinalPage(activePage))
        return {row, row, RunStateEntry::Outcome::Written};
    const int heatRow = competition.heatStartList().findRow(Heat::Nr, number);
    if (heatRow < 0)
        return {-1, -1, RunStateEntry::Outcome::NotInHeatList};
    return {heatRow, row, RunStateEntry::Outcome::Written};
}

// Writes the run into the heat start list and, for a final run, into the final start list.
void writeRun(Competition& competition, int activePage, const Target& target, int heatColumn,
              const QString& text) {
    competition.heatStartList().setCell(heatColumn, target.heatRow, text);
    if (isFinalPage(activePage))
        competition.finalStartList().setCell(heatColumn - FinalOffset, target.tableRow, text);
}

// The run as the shown table has it: on a final page the final start list's mirror decides,
// as it does for result entry.
const QString& shownRun(Competition& competition, int activePage, const Target& target,
                        int heatColumn) {
    if (isFinalPage(activePage))
        return competition.finalStartList().cell(heatColumn - FinalOffset, target.tableRow);
    return competition.heatStartList().cell(heatColumn, target.heatRow);
}

} // namespace

RunStateEntry::Outcome RunStateEntry::enterState(Competition& competition, int activePage,
                                                 RunState::Kind state) {
    const Target target = targetOf(competition, activePage);
    if (target.failure != Outcome::Written)
        return target.failure;
    for (int col : stageRuns(activePage)) {
        if (TimeFormat::isFreeTimeCell(shownRun(competition, activePage, target, col))) {
            writeRun(competition, activePage, target, col, RunState::text(state));
            return Outcome::Written;
        }
    }
    return Outcome::NoFreeRun;
}

std::optional<int> RunStateEntry::lastEnteredRun(Competition& competition, int activePage) {
    const Target target = targetOf(competition, activePage);
    if (target.failure != Outcome::Written)
        return std::nullopt;
    const QList<int> runs = stageRuns(activePage);
    for (auto it = runs.crbegin(); it != runs.crend(); ++it) {
        if (!TimeFormat::isFreeTimeCell(shownRun(competition, activePage, target, *it)))
            return *it;
    }
    return std::nullopt;
}

RunStateEntry::Outcome RunStateEntry::repeatRun(Competition& competition, int activePage) {
    const Target target = targetOf(competition, activePage);
    if (target.failure != Outcome::Written)
        return target.failure;
    const auto run = lastEnteredRun(competition, activePage);
    if (!run)
        return Outcome::NoEnteredRun;
    writeRun(competition, activePage, target, *run, QString());
    return Outcome::Written;
}
