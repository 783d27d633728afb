#include "platform/LineChangeDecoder.h"

#include <algorithm>
#include <array>
#include <sys/ioctl.h>

namespace {

struct LineSteps {
    quint32 bit = 0;
    bool before = false; // level at the previous look
    quint32 edges = 0;   // edges since then
    int steps = 0;       // changes reported for them: 1 for odd, 2 for even counts
};

quint32* counterFor(SerialLineCounters& counters, quint32 bit) {
    switch (bit) {
    case TIOCM_CTS:
        return &counters.cts;
    case TIOCM_DSR:
        return &counters.dsr;
    case TIOCM_CAR:
        return &counters.dcd;
    default:
        return nullptr; // RING is counted on one edge only: see ringEdges
    }
}

// The driver counts only the trailing edges of RING, so the edges since the last look follow
// from that count and the two levels: every trailing edge comes with a leading one, and a
// line that went on or off has one edge more or less.
quint32 ringEdges(bool before, bool levelChanged, quint32 trailing) {
    if (!levelChanged)
        return 2 * trailing;
    if (!before)
        return 2 * trailing + 1;
    return trailing == 0 ? 1 : 2 * trailing - 1;
}

} // namespace

void LineChangeDecoder::reset(quint32 levels, std::optional<SerialLineCounters> counters) {
    m_levels = levels;
    m_baseline = counters;
}

std::vector<LineChange> LineChangeDecoder::update(quint32 levels,
                                                  std::optional<SerialLineCounters> counters) {
    static constexpr std::array<quint32, 4> lines{TIOCM_CTS, TIOCM_DSR, TIOCM_CAR, TIOCM_RNG};
    std::array<LineSteps, lines.size()> steps{};
    std::optional<SerialLineCounters> nextBaseline = counters;
    int eventCount = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        LineSteps& line = steps[i];
        line.bit = lines[i];
        if ((m_watched & line.bit) == 0)
            continue;
        line.before = (m_levels & line.bit) != 0;
        const bool levelChanged = line.before != ((levels & line.bit) != 0);
        quint32* now = counters ? counterFor(*counters, line.bit) : nullptr;
        quint32* base = (now && m_baseline) ? counterFor(*m_baseline, line.bit) : nullptr;
        if (line.bit == TIOCM_RNG && counters && m_baseline) {
            line.edges = ringEdges(line.before, levelChanged, counters->rng - m_baseline->rng);
            // A trailing edge between reading the counters and the levels shows in the level
            // first; keep it out of the next look's difference.
            if (line.before && levelChanged && counters->rng == m_baseline->rng)
                nextBaseline->rng = counters->rng + 1;
        } else if (now && base) {
            const qint32 delta = static_cast<qint32>(*now - *base);
            line.edges = delta > 0 ? static_cast<quint32>(delta) : 0;
            // Counters are read before the levels; an edge in between shows in the level
            // first. Count it now and keep it out of the next look's difference.
            if (((line.edges & 1U) != 0) != levelChanged) {
                ++line.edges;
                *counterFor(*nextBaseline, line.bit) = *now + 1;
            }
        } else {
            line.edges = levelChanged ? 1 : 0;
        }
        line.steps = line.edges == 0 ? 0 : ((line.edges & 1U) != 0 ? 1 : 2);
        eventCount = std::max(eventCount, line.steps);
    }

    std::vector<LineChange> changes;
    for (int k = 1; k <= eventCount; ++k) {
        LineChange change;
        change.levels = levels;
        change.observed = k == eventCount;
        for (const LineSteps& line : steps) {
            if (line.steps < k)
                continue;
            change.changedLines |= line.bit;
            // A bouncing contact's edges beyond the reported steps go with its last step.
            change.edges += static_cast<int>(k < line.steps ? 1 : line.edges - (line.steps - 1));
            if (k < line.steps) {
                const bool level = line.before != ((k & 1) != 0);
                change.levels = level ? (change.levels | line.bit) : (change.levels & ~line.bit);
            }
        }
        changes.push_back(change);
    }
    m_levels = levels;
    m_baseline = nextBaseline;
    return changes;
}
