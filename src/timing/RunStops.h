#pragma once

#include <QMetaType>
#include <QtGlobal>
#include <optional>

// The stamps of one run as both timing systems saw it: the start, the stop of System A (the
// stop barrier on CTS, only when it was the barrier that stopped the run) and the stop of
// System B (the backup contact on RI), in microseconds of the program's clock.
struct RunStops {
    qint64 start = 0;
    std::optional<qint64> stopA;
    std::optional<qint64> stopB;

    // A minus B, when the run has both.
    std::optional<qint64> differenceMicroseconds() const {
        if (!stopA || !stopB)
            return std::nullopt;
        return *stopA - *stopB;
    }

    bool operator==(const RunStops&) const = default;
};

Q_DECLARE_METATYPE(RunStops)
