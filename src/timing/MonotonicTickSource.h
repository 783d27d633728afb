#pragma once

#include "timing/TickSource.h"

// The production clock: CLOCK_MONOTONIC_RAW, the crystal's own rate. Time synchronisation
// slews CLOCK_MONOTONIC (by several per cent while it corrects an offset), which would stretch
// or shrink a run; the raw clock neither jumps nor slews. Keys, barriers and the display all
// read this one clock, so their stamps compare.
class MonotonicTickSource : public TickSource {
public:
    qint64 nowMicroseconds() const override;
    // The same reading without an object; safe on any thread.
    static qint64 rawMicroseconds();
};
