#include "timing/MonotonicTickSource.h"

#include <ctime>

qint64 MonotonicTickSource::nowMicroseconds() const {
    return rawMicroseconds();
}

qint64 MonotonicTickSource::rawMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_RAW, &now);
    return static_cast<qint64>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000;
}
