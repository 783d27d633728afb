#include "competition/Placements.h"

#include "competition/ClassKey.h"
#include "competition/CompetitionTable.h"
#include "competition/TimeFormat.h"

void Placements::assignPlacements(CompetitionTable& grid, int classColumn, int timeColumn,
                                  const TimeFormat& format) {
    if (!grid.hasData())
        return;
    grid.beginUpdate();
    // Placement texts are shared instead of formatted again for every row.
    QList<QString> numbers;
    auto text = [&numbers](int placement) -> const QString& {
        while (numbers.size() <= placement)
            numbers.append(QString::number(numbers.size()));
        return numbers[placement];
    };
    ClassKey currentClass = ClassKey::fromText(grid.cell(classColumn, 1));
    int groupStart = 1;
    int placement = 1;
    qint32 lastTime = format.ParseTime(grid.cell(timeColumn, 1));
    grid.setCell(0, 1, text(1));
    for (int r = 2; r < grid.rowsWithHeader(); ++r) {
        const ClassKey rowClass = ClassKey::fromText(grid.cell(classColumn, r));
        const qint32 time = format.ParseTime(grid.cell(timeColumn, r));
        if (!(rowClass == currentClass)) {
            currentClass = rowClass;
            groupStart = r;
            placement = 1;
            lastTime = time;
        }
        if (time > lastTime) {
            placement = r - groupStart + 1;
            lastTime = time;
        }
        grid.setCell(0, r, text(placement));
    }
    grid.endUpdate();
}
