#pragma once

#include <QtGlobal>

// Where the timing logic reads the time: a monotonic count of microseconds with an arbitrary
// origin. Only differences of two readings mean anything.
class TickSource {
public:
    virtual ~TickSource();
    virtual qint64 nowMicroseconds() const = 0;
};
