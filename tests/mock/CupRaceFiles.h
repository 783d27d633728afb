#pragma once

#include <QString>
#include <QStringList>

// The protocol files of a cup, made with the program's own random results: the first race
// invents its competitors, the later ones keep them with new random runs, a few of them away
// and a few with a "DNF" among their runs, as a season goes.
namespace CupRaceFiles {

// Writes `races` files "Lauf1.txt" ... into the folder; their paths in race order, or an empty
// list when one could not be written.
QStringList write(const QString& folder, int races, int competitors = 60);

} // namespace CupRaceFiles
