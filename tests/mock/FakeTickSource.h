#pragma once

#include "timing/TickSource.h"

#include <atomic>

// A clock the test moves by hand; it may start anywhere, for example just below 2^32 ms. The
// serial port's monitor thread may read it while the test moves it.
class FakeTickSource : public TickSource {
public:
    // 4,294,967,290 ms: a 32-bit millisecond counter would wrap 6 ms later.
    static constexpr qint64 justBelowWrapMicroseconds = 4'294'967'290'000;

    explicit FakeTickSource(qint64 startMicroseconds = 0) : m_now(startMicroseconds) {}

    qint64 nowMicroseconds() const override;
    void setNow(qint64 microseconds) { m_now.store(microseconds); }
    void advanceMicroseconds(qint64 microseconds) { m_now.fetch_add(microseconds); }
    void advanceMilliseconds(qint64 milliseconds) { m_now.fetch_add(milliseconds * 1000); }

private:
    std::atomic<qint64> m_now;
};
