#pragma once

#include "platform/LineChange.h"
#include "platform/SerialSystem.h"

#include <optional>
#include <vector>

// Turns successive looks at the line levels and edge counters into an ordered list of changes,
// so that an edge pair that came and went between two looks still shows the line going on.
class LineChangeDecoder {
public:
    explicit LineChangeDecoder(quint32 watchedLines) : m_watched(watchedLines) {}

    // The state the next look is compared with; counters are absent where the driver has none.
    void reset(quint32 levels, std::optional<SerialLineCounters> counters);
    // The changes since the previous look, oldest first; the stamps are left at 0.
    std::vector<LineChange> update(quint32 levels, std::optional<SerialLineCounters> counters);

    quint32 levels() const { return m_levels; }
    std::optional<SerialLineCounters> countedBaseline() const { return m_baseline; }

private:
    quint32 m_watched;
    quint32 m_levels = 0;
    std::optional<SerialLineCounters> m_baseline;
};
