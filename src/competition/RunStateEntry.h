#pragma once

#include "competition/RunState.h"

#include <optional>

class Competition;

// Enters a run state for the selected competitor of the shown stage, and takes the last run
// back for a rerun. Heat pages act on "Zeit1" to "Zeit3" of the heat start list, final pages on
// the final runs, which live in the final start list and, mirrored, in the heat start list.
class RunStateEntry {
public:
    enum class Outcome {
        Written,
        NoCompetitor,  // the selected row has no "Nr."
        NotInHeatList, // final page: the start number is not in the heat start list
        NoFreeRun,     // every run of the stage is taken
        NoEnteredRun,  // rerun: no run of the stage is entered yet
    };

    // The state goes into the next free run; it never takes a new row, unlike a time.
    static Outcome enterState(Competition& competition, int activePage, RunState::Kind state);
    // Empties the last entered run of the stage (a time or a state), so the next entry
    // fills it again. The selection stays on the competitor.
    static Outcome repeatRun(Competition& competition, int activePage);

    // The heat start list column of the run repeatRun would empty, for the question.
    static std::optional<int> lastEnteredRun(Competition& competition, int activePage);
};
