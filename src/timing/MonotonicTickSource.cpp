#include "timing/MonotonicTickSource.h"

#include <chrono>

qint64 MonotonicTickSource::nowMicroseconds() const {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::microseconds>(now).count();
}
