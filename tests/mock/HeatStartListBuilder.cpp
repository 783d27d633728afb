#include "mock/HeatStartListBuilder.h"

namespace HeatStartListBuilder {

const QString Message = QStringLiteral(" Fehler gefunden, diese Zeilen werden nicht versäumt");

void add(Competition& c, const QStringList& cells) {
    c.heatStartList().appendRow(cells);
}

void addRunner(Competition& c, int nr, const QString& cls, int run, const QString& champion,
               const QStringList& finalRuns) {
    const QString t = c.timeFormat().formatTime(run);
    QStringList cells{QString::number(nr),
                      QStringLiteral("N%1").arg(nr),
                      QStringLiteral("V%1").arg(nr),
                      QStringLiteral("Club"),
                      cls,
                      champion,
                      t,
                      t,
                      t};
    cells += finalRuns;
    add(c, cells);
}

QStringList dataColumn(const CompetitionTable& grid, int col) {
    return grid.column(col).mid(1);
}

} // namespace HeatStartListBuilder
