#include "competition/RandomProtocol.h"

#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "competition/StageDerivation.h"
#include "competition/StageTables.h"

namespace {

// Capital letters ending in an umlaut or sharp s, so every output meets 8-bit text.
QString randomWord(RandomGenerator& rng) {
    static const QChar endings[] = {QChar(0x00C4), QChar(0x00DC), QChar(0x00D6), QChar(0x00DF)};
    const int letters = rng.random(10) + 1;
    QString word;
    word.reserve(letters + 1);
    for (int i = 0; i < letters; ++i)
        word.append(QChar(u'A' + rng.random(26)));
    word.append(endings[rng.random(4)]);
    return word;
}

QString randomRun(RandomGenerator& rng, const TimeFormat& format) {
    return format.formatTime(700 + rng.random(1000));
}

} // namespace

void RandomProtocol::fillRandomStartList(Competition& c, RandomGenerator& rng, int competitors) {
    using namespace StageTables;
    CompetitionTable& heat = c.heatStartList();
    const TimeFormat& format = c.timeFormat();
    heat.beginUpdate();
    heat.setRowsWithHeader(qMax(1, competitors) + 1);
    for (int r = 1; r < heat.rowsWithHeader(); ++r) {
        // The draws follow the columns from left to right; the list below keeps that order.
        QStringList cells;
        cells.reserve(heat.columns());
        cells.append(QString::number(rng.random(999) + 1));
        cells.append(randomWord(rng));
        cells.append(randomWord(rng));
        cells.append(randomWord(rng));
        cells.append(QString::number(rng.random(4) + 1));
        cells.append(rng.random(4) == 0 ? QStringLiteral("+") : QString());
        for (int col = Heat::Zeit1; col <= Heat::Zeit5; ++col)
            cells.append(randomRun(rng, format));
        heat.setRowCells(r, cells);
    }
    heat.endUpdate();
}

void RandomProtocol::generateRandomProtocol(Competition& c, RandomGenerator& rng,
                                            StageDerivation& derivation) {
    fillRandomStartList(c, rng, Competitors);
    CompetitionTable& heat = c.heatStartList();
    heat.sortByColumn(heat.sortOptions().column);
    derivation.deriveAll();
    for (int page = 0; page < 4; ++page)
        c.stageTable(page).setRow(1);
}
