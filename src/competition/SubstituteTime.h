#pragma once

#include <QtGlobal>
#include <optional>
#include <vector>

// A substitute for a run whose stop barrier gave no time: the run's System B time (or the
// operator's hand time) corrected by the mean difference A minus B of the nearest runs that have
// both, up to NeighboursEachSide before and as many after it in the order they were run,
// truncated to whole hundredths like every run time. Fewer are used where fewer exist (at the
// start of a race); with none there is no substitute.
class SubstituteTime {
public:
    static constexpr int NeighboursEachSide = 5;

    // One run's times in microseconds from its start: the stop barrier's and System B's.
    struct Run {
        std::optional<qint64> aMicroseconds;
        std::optional<qint64> bMicroseconds;
    };

    struct Neighbour {
        int index = 0; // in the order run
        qint64 differenceMicroseconds = 0;
    };

    struct Calculation {
        // In the order run: those before the run, then those after it.
        std::vector<Neighbour> neighbours;
        int before = 0;
        int after = 0;
        qint64 sumMicroseconds = 0;
        // The B or hand time the correction is added to.
        qint64 baseMicroseconds = 0;
        // (base + sum / count), truncated to hundredths; the division is exact, not rounded.
        qint32 resultHundredths = 0;

        // The mean for showing, truncated to microseconds.
        qint64 meanMicroseconds() const {
            return neighbours.empty() ? 0
                                      : sumMicroseconds / static_cast<qint64>(neighbours.size());
        }
    };

    // The substitute for runs[target] from the given base; nothing when no other run has both
    // times, the target is not a run, or the times are too large to give a run time.
    static std::optional<Calculation> calculate(const std::vector<Run>& runs, int target,
                                                qint64 baseMicroseconds);
};
