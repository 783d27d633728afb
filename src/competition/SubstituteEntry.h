#pragma once

#include "competition/SubstituteMarks.h"

#include <QList>
#include <QStringList>
#include <optional>

class Competition;
class CompetitionTable;

// Puts a confirmed substitute or hand time into the competition and marks it: into the run cell
// its run went to (a "DNF" or a time is replaced), or, for a run that was not entered, found
// where result entry put it. A final run goes into the heat start list and its mirror in the
// final start list, as result entry writes it.
class SubstituteEntry {
public:
    // The heat start list column of the run 0..4 ("Zeit1".."Zeit5").
    static int heatColumn(int run);
    // The run 0..4 whose column has this caption in the heat start list; nullopt for another
    // column.
    static std::optional<int> runOfColumn(const CompetitionTable& heatStartList,
                                          const QString& caption);

    // Writes the time text into the competitor's run and marks it; false when the competitor
    // is not in the heat start list.
    static bool replaceRun(Competition& competition, const QString& number, int run,
                           const QString& timeText);
    // After result entry: the run of a row with "Nr." that holds timeText now and did not
    // in the rows before (captions included, as the list stood).
    static std::optional<SubstituteMarks::Mark> enteredRun(const QList<QStringList>& before,
                                                           const CompetitionTable& heatStartList,
                                                           const QString& timeText);
    // Adds the mark and tells whoever shows the marks.
    static void mark(Competition& competition, const SubstituteMarks::Mark& mark);
};
