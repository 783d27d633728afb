#pragma once

#include "competition/Competition.h"

#include <QString>
#include <QStringList>

// Heat start lists written row by row for the derivation tests.
namespace HeatStartListBuilder {

// The tail of the heat results' error message, after the count.
extern const QString Message;

// Nr., Name, Vorname, Verein/Ort, Kl., Meister, Zeit1 .. Zeit5
void add(Competition& c, const QStringList& cells);

// A competitor whose three heat runs are all `run`, so the heat total is 2 * run.
void addRunner(Competition& c, int nr, const QString& cls, int run, const QString& champion = {},
               const QStringList& finalRuns = {});

// A column without its caption.
QStringList dataColumn(const CompetitionTable& grid, int col);

} // namespace HeatStartListBuilder
