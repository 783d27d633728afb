#include "CupRaceFiles.h"

#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "competition/RandomProtocol.h"
#include "competition/StageTables.h"
#include "output/ProtocolFile.h"

#include <QDir>

QStringList CupRaceFiles::write(const QString& folder, int races, int competitors) {
    using namespace StageTables;
    RandomGenerator rng;
    Competition field(TimeFormat(TimeFormat::Seconds, u','));
    field.writeHeatStartListHeader();
    RandomProtocol::fillRandomStartList(field, rng, competitors);
    QStringList files;
    for (int race = 0; race < races; ++race) {
        Competition runs(TimeFormat(TimeFormat::Seconds, u','));
        runs.writeHeatStartListHeader();
        RandomProtocol::fillRandomStartList(runs, rng, competitors);
        CompetitionTable& heat = runs.heatStartList();
        const CompetitionTable& people = field.heatStartList();
        for (int r = 1; r < heat.rowsWithHeader(); ++r) {
            for (int col = Heat::Nr; col <= Heat::Meister; ++col)
                heat.setCell(col, r, people.cell(col, r));
        }
        // From the second race on, some stay at home and some fall.
        for (int r = heat.rowsWithHeader() - 1; race > 0 && r >= 1; --r) {
            if ((r + race) % 11 == 0) {
                heat.deleteRow(r);
            } else if ((r * 7 + race) % 17 == 0) {
                for (int col : {Heat::Zeit2, Heat::Zeit3})
                    heat.setCell(col, r, QStringLiteral("DNF"));
            } else if ((r * 5 + race) % 23 == 0) {
                for (int col : {Heat::Zeit1, Heat::Zeit2, Heat::Zeit3})
                    heat.setCell(col, r, QStringLiteral("DNS"));
            }
        }
        const QString file = QDir(folder).filePath(QStringLiteral("Lauf%1.txt").arg(race + 1));
        if (!ProtocolFile::SaveProtocolText(heat, file).ok)
            return {};
        files.append(file);
    }
    return files;
}
