#pragma once

#include <QtGlobal>

// One change of the modem-status lines as the monitor thread saw it, in TIOCM_* bits.
struct LineChange {
    // All input levels after this change (TIOCM_CTS, TIOCM_DSR, TIOCM_CAR, TIOCM_RNG).
    quint32 levels = 0;
    // The watched lines that changed in this step.
    quint32 changedLines = 0;
    // Monotonic time of the change in microseconds, taken when the wait ended.
    qint64 stampMicroseconds = 0;
    // Edges the driver counted for this step; more than one when a contact bounced.
    int edges = 0;
    // False for the in-between state of an edge pair that came and went between two looks:
    // the levels were not read from the device but follow from the counters.
    bool observed = true;

    bool operator==(const LineChange&) const = default;
};
