#pragma once

#include <QtGlobal>

#include <atomic>
#include <memory>

// A microsecond clock the test sets by hand and the monitor thread may read at the same time;
// copies share one time, so it can be handed out as a std::function.
class ManualMicrosecondClock {
public:
    explicit ManualMicrosecondClock(qint64 start = 1'000'000)
        : m_now(std::make_shared<std::atomic<qint64>>(start)) {}

    qint64 operator()() const { return m_now->load(); }
    void set(qint64 microseconds) { m_now->store(microseconds); }
    void advance(qint64 microseconds) { m_now->fetch_add(microseconds); }

private:
    std::shared_ptr<std::atomic<qint64>> m_now;
};
