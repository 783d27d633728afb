#pragma once

#include "timing/TickSource.h"

// The production clock: the system's steady clock, which never jumps with the wall time.
class MonotonicTickSource : public TickSource {
public:
    qint64 nowMicroseconds() const override;
};
