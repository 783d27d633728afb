#include "competition/StartListCommands.h"

#include "competition/Competition.h"
#include "competition/StageTables.h"
#include "competition/TimeFormat.h"

#include <optional>

namespace Heat = StageTables::Heat;
namespace FinalStart = StageTables::FinalStart;

namespace StartListCommands {

int AddRowBelow(CompetitionTable& heatStartList) {
    const int last = heatStartList.rowsWithHeader() - 1;
    const int row = heatStartList.isRowEmpty(last) ? last : last + 1;
    QStringList cells{QString::number(row), QStringLiteral("Name"), QStringLiteral("Vorname"),
                      QStringLiteral("Verein"), QStringLiteral("4")};
    for (int i = 0; i < 6; ++i)
        cells.append(QString());
    heatStartList.appendRow(cells);
    return row;
}

void Eliminate(CompetitionTable& heatStartList, int row) {
    if (row < 1 || row >= heatStartList.rowsWithHeader())
        return;
    for (int col : {Heat::Zeit1, Heat::Zeit2, Heat::Zeit3}) {
        if (TimeFormat::isFreeTimeCell(heatStartList.cell(col, row)))
            heatStartList.setCell(col, row, QStringLiteral("-"));
    }
}

void DeleteResults(Competition& competition, int page) {
    CompetitionTable& heat = competition.heatStartList();
    if (page == 0) {
        for (int col = Heat::Zeit1; col <= Heat::Zeit5; ++col)
            heat.clearColumn(col);
    } else if (page == 2) {
        CompetitionTable& finals = competition.finalStartList();
        finals.clearColumn(FinalStart::Zeit4);
        finals.clearColumn(FinalStart::Zeit5);
        heat.clearColumn(Heat::Zeit4);
        heat.clearColumn(Heat::Zeit5);
    }
}

void ClearCompetition(Competition& competition) {
    for (int page = 0; page < 4; ++page)
        competition.stageTable(page).clearTable();
    competition.teams().clearTable();
    competition.clearStageMessages();
}

namespace {

// The cell's text in the other format, or nothing when it holds no time.
std::optional<QString> converted(const QString& text, const TimeFormat& from,
                                 const TimeFormat& to) {
    if (TimeFormat::isFreeTimeCell(text))
        return std::nullopt;
    const qint32 time = from.ParseTime(text);
    if (time == 0)
        return std::nullopt;
    const QString result = to.formatTime(time);
    return result == text ? std::nullopt : std::optional<QString>(result);
}

} // namespace

TimeConversion PlanTimeConversion(const CompetitionTable& heatStartList, const TimeFormat& from,
                                  const TimeFormat& to) {
    TimeConversion plan;
    for (int row = 1; row < heatStartList.rowsWithHeader(); ++row) {
        for (int col = Heat::Zeit1; col <= Heat::Zeit5; ++col) {
            const QString& text = heatStartList.cell(col, row);
            const auto result = converted(text, from, to);
            if (!result)
                continue;
            if (plan.cells++ == 0) {
                plan.before = text;
                plan.after = *result;
            }
        }
    }
    return plan;
}

void ConvertTimes(CompetitionTable& heatStartList, const TimeFormat& from, const TimeFormat& to) {
    heatStartList.beginUpdate();
    for (int row = 1; row < heatStartList.rowsWithHeader(); ++row) {
        for (int col = Heat::Zeit1; col <= Heat::Zeit5; ++col) {
            if (const auto result = converted(heatStartList.cell(col, row), from, to))
                heatStartList.setCell(col, row, *result);
        }
    }
    heatStartList.endUpdate();
}

} // namespace StartListCommands
