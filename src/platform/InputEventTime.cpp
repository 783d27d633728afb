#include "platform/InputEventTime.h"

#include <ctime>

namespace InputEventTime {

std::optional<qint64> ageMicroseconds(quint64 eventMs, qint64 monotonicNowUs) {
    if (eventMs == 0 || monotonicNowUs < 0)
        return std::nullopt;
    // Both sides in 32-bit milliseconds, so a stamp from just before the wrap-around still
    // reads as a small age.
    const auto nowMs = static_cast<quint32>(static_cast<quint64>(monotonicNowUs / 1000));
    const quint32 elapsedMs = nowMs - static_cast<quint32>(eventMs);
    // The stamp is cut to its millisecond; the event lies somewhere within it.
    const qint64 age = static_cast<qint64>(elapsedMs) * 1000 + monotonicNowUs % 1000 - 500;
    if (age > MaxAgeMicroseconds)
        return std::nullopt;
    return age < 0 ? 0 : age;
}

std::optional<qint64> ageMicroseconds(quint64 eventMs) {
    return ageMicroseconds(eventMs, monotonicMicroseconds());
}

qint64 monotonicMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<qint64>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000;
}

} // namespace InputEventTime
