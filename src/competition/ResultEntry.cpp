#include "competition/ResultEntry.h"

#include "competition/Competition.h"
#include "competition/StageTables.h"

#include <QStringList>

namespace {

bool isFinalPage(int activePage) {
    return activePage == 2 || activePage == 3;
}

} // namespace

TSortGrid& ResultEntry::targetTable(Competition& competition, int activePage) {
    return isFinalPage(activePage) ? competition.finalStartList() : competition.heatStartList();
}

ResultEntry::Outcome ResultEntry::EnterRunTime(Competition& competition, int activePage,
                                               qint32 runTimeMs) {
    using namespace StageTables;
    TSortGrid& table = targetTable(competition, activePage);
    const QString text = competition.timeFormat().FormatTime(runTimeMs / 10);
    const int row = table.Row();
    const QString number = table.cell(Heat::Nr, row);
    TSortGrid& heat = competition.heatStartList();
    if (number.isEmpty()) {
        // On the final pages the new row goes into the heat start list as a first final
        // run: the final start list is rebuilt from the heat start list at the next page
        // change, and a row of its own would take the time with it.
        appendRow(heat, isFinalPage(activePage) ? Heat::Zeit4 : Heat::Zeit1, runTimeMs, text);
        return Outcome::Appended;
    }

    if (!isFinalPage(activePage)) {
        for (int col : {Heat::Zeit1, Heat::Zeit2, Heat::Zeit3}) {
            if (TimeFormat::IsFreeTimeCell(table.cell(col, row))) {
                table.setCell(col, row, text);
                return Outcome::Written;
            }
        }
        appendRow(heat, Heat::Zeit1, runTimeMs, text);
        return Outcome::Appended;
    }

    const int heatRow = heat.FindRow(Heat::Nr, number);
    if (heatRow < 0)
        return Outcome::NotInHeatList;
    if (TimeFormat::IsFreeTimeCell(table.cell(FinalStart::Zeit4, row))) {
        table.setCell(FinalStart::Zeit4, row, text);
        heat.setCell(Heat::Zeit4, heatRow, text);
        return Outcome::Written;
    }
    if (TimeFormat::IsFreeTimeCell(table.cell(FinalStart::Zeit5, row))) {
        table.setCell(FinalStart::Zeit5, row, text);
        heat.setCell(Heat::Zeit5, heatRow, text);
        return Outcome::Written;
    }
    return Outcome::NoFreeFinalRun;
}

int ResultEntry::selectNextRow(Competition& competition, int activePage) {
    TSortGrid& table = targetTable(competition, activePage);
    const int row = table.Row();
    table.setRow(row >= table.RowCount() - 1 ? 1 : row + 1);
    return table.Row();
}

void ResultEntry::appendRow(TSortGrid& heatStartList, int timeColumn, qint32 runTimeMs,
                            const QString& timeText) {
    using namespace StageTables;
    // AddRow reuses an entirely empty last row, so the number is that row's position.
    const int number = heatStartList.IsRowEmpty(heatStartList.RowCount() - 1)
                           ? heatStartList.RowCount() - 1
                           : heatStartList.RowCount();
    QStringList cells(Heat::Zeit5 + 1);
    cells[Heat::Nr] = QString::number(number);
    cells[Heat::Name] = QStringLiteral("Name");
    cells[Heat::Vorname] = QStringLiteral("Vorname");
    cells[Heat::Verein] = QStringLiteral("Verein");
    cells[Heat::Kl] = QStringLiteral("4");
    cells[timeColumn] = runTimeMs == 0 ? QStringLiteral("AUS") : timeText;
    heatStartList.AddRow(cells);
}
