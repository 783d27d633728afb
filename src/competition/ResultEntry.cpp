#include "competition/ResultEntry.h"

#include "competition/Competition.h"
#include "competition/StageTables.h"

#include <QStringList>
#include <limits>

namespace {

bool isFinalPage(int activePage) {
    return activePage == 2 || activePage == 3;
}

} // namespace

CompetitionTable& ResultEntry::targetTable(Competition& competition, int activePage) {
    return isFinalPage(activePage) ? competition.finalStartList() : competition.heatStartList();
}

ResultEntry::Outcome ResultEntry::enterRunTime(Competition& competition, int activePage,
                                               qint32 runTimeMs) {
    using namespace StageTables;
    CompetitionTable& table = targetTable(competition, activePage);
    const QString text = competition.timeFormat().formatTime(runTimeMs / 10);
    const int row = table.selectedRow();
    const QString number = table.cell(Heat::Nr, row);
    CompetitionTable& heat = competition.heatStartList();
    if (number.isEmpty()) {
        // On the final pages the new row goes into the heat start list as a first final
        // run: the final start list is rebuilt from the heat start list at the next page
        // change, and a row of its own would take the time with it.
        appendRow(heat, isFinalPage(activePage) ? Heat::Zeit4 : Heat::Zeit1, runTimeMs, text);
        return Outcome::Appended;
    }

    if (!isFinalPage(activePage)) {
        for (int col : {Heat::Zeit1, Heat::Zeit2, Heat::Zeit3}) {
            if (TimeFormat::isFreeTimeCell(table.cell(col, row))) {
                table.setCell(col, row, text);
                return Outcome::Written;
            }
        }
        appendRow(heat, Heat::Zeit1, runTimeMs, text);
        return Outcome::Appended;
    }

    const int heatRow = heat.findRow(Heat::Nr, number);
    if (heatRow < 0)
        return Outcome::NotInHeatList;
    if (TimeFormat::isFreeTimeCell(table.cell(FinalStart::Zeit4, row))) {
        table.setCell(FinalStart::Zeit4, row, text);
        heat.setCell(Heat::Zeit4, heatRow, text);
        return Outcome::Written;
    }
    if (TimeFormat::isFreeTimeCell(table.cell(FinalStart::Zeit5, row))) {
        table.setCell(FinalStart::Zeit5, row, text);
        heat.setCell(Heat::Zeit5, heatRow, text);
        return Outcome::Written;
    }
    return Outcome::NoFreeFinalRun;
}

ResultEntry::Target ResultEntry::target(const Competition& competition, int activePage) {
    using namespace StageTables;
    const CompetitionTable& table =
        isFinalPage(activePage) ? competition.finalStartList() : competition.heatStartList();
    const CompetitionTable& heat = competition.heatStartList();
    const int row = table.selectedRow();
    const QString number = table.cell(Heat::Nr, row);
    const auto appended = [&](int run) {
        const int index = appendedRowIndex(heat);
        return Target{Outcome::Appended, index, run, appendedRowNumber(heat)};
    };
    if (number.isEmpty())
        return appended(isFinalPage(activePage) ? 3 : 0);
    if (!isFinalPage(activePage)) {
        for (int col : {Heat::Zeit1, Heat::Zeit2, Heat::Zeit3}) {
            if (TimeFormat::isFreeTimeCell(table.cell(col, row)))
                return Target{Outcome::Written, row, col - Heat::Zeit1, QString()};
        }
        return appended(0);
    }
    const int heatRow = heat.findRow(Heat::Nr, number);
    if (heatRow < 0)
        return Target{Outcome::NotInHeatList, -1, -1, QString()};
    if (TimeFormat::isFreeTimeCell(table.cell(FinalStart::Zeit4, row)))
        return Target{Outcome::Written, heatRow, 3, QString()};
    if (TimeFormat::isFreeTimeCell(table.cell(FinalStart::Zeit5, row)))
        return Target{Outcome::Written, heatRow, 4, QString()};
    return Target{Outcome::NoFreeFinalRun, -1, -1, QString()};
}

int ResultEntry::selectNextRow(Competition& competition, int activePage) {
    CompetitionTable& table = targetTable(competition, activePage);
    const int row = table.selectedRow();
    table.setRow(row >= table.rowsWithHeader() - 1 ? 1 : row + 1);
    return table.selectedRow();
}

int ResultEntry::appendedRowIndex(const CompetitionTable& heatStartList) {
    // appendRow reuses an entirely empty last row.
    return heatStartList.isRowEmpty(heatStartList.rowsWithHeader() - 1)
               ? heatStartList.rowsWithHeader() - 1
               : heatStartList.rowsWithHeader();
}

QString ResultEntry::appendedRowNumber(const CompetitionTable& heatStartList) {
    using namespace StageTables;
    // The new row's number is its position, unless a competitor has it already: the time
    // would then count for him. Then the number after the highest.
    const int index = appendedRowIndex(heatStartList);
    const QString position = QString::number(index);
    if (heatStartList.findRow(Heat::Nr, position) < 0)
        return position;
    qint64 highest = index;
    for (int row = 1; row < heatStartList.rowsWithHeader(); ++row) {
        bool ok = false;
        const qint64 number = heatStartList.cell(Heat::Nr, row).trimmed().toLongLong(&ok);
        if (ok && number > highest && number < std::numeric_limits<int>::max())
            highest = number;
    }
    return QString::number(highest + 1);
}

void ResultEntry::appendRow(CompetitionTable& heatStartList, int timeColumn, qint32 runTimeMs,
                            const QString& timeText) {
    using namespace StageTables;
    QStringList cells(Heat::Zeit5 + 1);
    cells[Heat::Nr] = appendedRowNumber(heatStartList);
    cells[Heat::Name] = placeholderName();
    cells[Heat::Vorname] = placeholderFirstName();
    cells[Heat::Verein] = placeholderClub();
    cells[Heat::Kl] = QStringLiteral("4");
    cells[timeColumn] = runTimeMs == 0 ? QStringLiteral("AUS") : timeText;
    heatStartList.appendRow(cells);
}
