#pragma once

#include <QtGlobal>
#include <optional>

// How long ago an input event happened, from its own time stamp. The X server and Wayland
// compositors stamp events in milliseconds of CLOCK_MONOTONIC, cut to 32 bits; read against the
// same clock now, the difference is the event's age however long it waited in the queue. A stamp
// that cannot be from this clock (0 from a synthetic event, a display on another machine) gives
// nothing, and the event counts as happening now.
namespace InputEventTime {

// Events older than this are not believed: no window is busy that long.
constexpr qint64 MaxAgeMicroseconds = 60'000'000;

// eventMs: the event's stamp; monotonicNowUs: CLOCK_MONOTONIC now, in microseconds.
std::optional<qint64> ageMicroseconds(quint64 eventMs, qint64 monotonicNowUs);

// The same against the clock read now.
std::optional<qint64> ageMicroseconds(quint64 eventMs);

// CLOCK_MONOTONIC in microseconds, the clock the event stamps count in.
qint64 monotonicMicroseconds();

} // namespace InputEventTime
