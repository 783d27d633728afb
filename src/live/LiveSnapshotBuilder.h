#pragma once

#include "live/LiveSnapshot.h"

class Competition;
class RunClock;
class CompetitionTable;

// Copies the live state out of the competition tables and the run clock on the
// user-interface thread; the server thread only ever sees the copy.
namespace LiveSnapshotBuilder {

// What the window keeps besides the tables and the clock.
struct WindowTexts {
    QString title;
    QString competitor;
    QString club;
    std::optional<LiveSnapshot::Result> lastResult;
};

LiveSnapshot build(const Competition& competition, const RunClock& clock, const WindowTexts& texts);

// The columns shown on screen (the heat start list without its final runs) and the data rows
// that are not entirely empty.
LiveSnapshot::Table stageTable(const CompetitionTable& table, const QString& caption);
// The same for the competition's stage table of a page, with its cells' run states and
// substitute times marked.
LiveSnapshot::Table stageTable(const Competition& competition, int page, const QString& caption);
// Ranked teams only, with their place: "Pl.", team, total and the three members.
LiveSnapshot::Table teamTable(const CompetitionTable& teams);
// The three best of classes 1 to 4 as the TV window lists them.
QList<LiveSnapshot::Top3Row> top3(const CompetitionTable& finalResults);
LiveSnapshot::Clock clockOf(const RunClock& clock);
// Whether the results are official, for the whole race and for each class with results.
LiveSnapshot::Release release(const Competition& competition);

} // namespace LiveSnapshotBuilder
