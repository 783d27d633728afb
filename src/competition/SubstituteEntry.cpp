#include "competition/SubstituteEntry.h"

#include "competition/Competition.h"
#include "competition/StageTables.h"

using namespace StageTables;

namespace {

constexpr int RunCount = 5;
// The final start list holds the final runs two columns further left than the heat start list.
constexpr int FinalOffset = int(Heat::Zeit4) - int(FinalStart::Zeit4);

} // namespace

int SubstituteEntry::heatColumn(int run) {
    return Heat::Zeit1 + run;
}

std::optional<int> SubstituteEntry::runOfColumn(const CompetitionTable& heatStartList,
                                                const QString& caption) {
    const QStringList defaults = defaultCaptions(HeatStartList);
    for (int run = 0; run < RunCount; ++run) {
        const int col = heatColumn(run);
        if (caption == heatStartList.cell(col, 0) || caption == defaults.value(col))
            return run;
    }
    return std::nullopt;
}

bool SubstituteEntry::replaceRun(Competition& competition, const QString& number, int run,
                                 const QString& timeText) {
    if (run < 0 || run >= RunCount)
        return false;
    CompetitionTable& heat = competition.heatStartList();
    const int row = heat.findRow(Heat::Nr, number.trimmed());
    if (row <= 0)
        return false;
    heat.setCell(heatColumn(run), row, timeText);
    if (heatColumn(run) >= Heat::Zeit4) {
        CompetitionTable& finalList = competition.finalStartList();
        if (const int finalRow = finalList.findRow(FinalStart::Nr, number.trimmed()); finalRow > 0)
            finalList.setCell(heatColumn(run) - FinalOffset, finalRow, timeText);
    }
    mark(competition, {number.trimmed(), run, timeText});
    return true;
}

std::optional<SubstituteMarks::Mark>
SubstituteEntry::enteredRun(const QList<QStringList>& before, const CompetitionTable& heatStartList,
                            const QString& timeText) {
    const QString text = timeText.trimmed();
    for (int row = 1; row < heatStartList.rowsWithHeader(); ++row) {
        const QString number = heatStartList.cell(Heat::Nr, row).trimmed();
        if (number.isEmpty())
            continue;
        const auto old = std::find_if(
            before.cbegin() + qMin<qsizetype>(1, before.size()), before.cend(),
            [&](const QStringList& cells) { return cells.value(Heat::Nr).trimmed() == number; });
        for (int run = 0; run < RunCount; ++run) {
            const int col = heatColumn(run);
            const bool wasThere = old != before.cend() && old->value(col).trimmed() == text;
            if (heatStartList.cell(col, row).trimmed() == text && !wasThere)
                return SubstituteMarks::Mark{number, run, text};
        }
    }
    return std::nullopt;
}

void SubstituteEntry::mark(Competition& competition, const SubstituteMarks::Mark& mark) {
    competition.substituteMarks().add(mark);
    Q_EMIT competition.substituteMarksChanged();
}
