#pragma once

#include "platform/LineChange.h"
#include "platform/LineChangeDecoder.h"
#include "platform/SerialSystem.h"

#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// The thread that waits for modem-line changes on an open device, stamps each one the moment
// the wait ends and hands it on without ever waiting for the receiver.
class SerialLineMonitor {
public:
    using Clock = std::function<qint64()>;
    // Called on the monitor thread; must return at once (post, do not handle).
    using ChangeSink = std::function<void(const LineChange&)>;
    // Called on the monitor thread once, just before it ends because the device failed
    // (EIO when an adapter is unplugged); the argument is the errno.
    using FailureSink = std::function<void(int)>;

    // How the lines are watched once running.
    enum class Mode { Starting, Waiting, Polling, Failed };

    static constexpr int PollIntervalMicroseconds = 1000;
    // The wait is also broken at this period, so an edge in the short gap between reading the
    // counters and entering the next wait is found late rather than not at all.
    static constexpr int SweepIntervalMicroseconds = 10000;
    // The kernel's wait ends only at the trailing edge of RING, so while RING is watched the
    // lines are looked at this often to find its leading edge in time.
    static constexpr int RingSweepIntervalMicroseconds = 250;

    SerialLineMonitor(SerialSystem& system, int fd, quint32 watchedLines, Clock clock,
                      ChangeSink changed, FailureSink failed);
    ~SerialLineMonitor();
    SerialLineMonitor(const SerialLineMonitor&) = delete;
    SerialLineMonitor& operator=(const SerialLineMonitor&) = delete;

    // Starts the thread and returns once it has taken the starting levels, so that no change
    // after start() returns is missed.
    void start();
    // Ends the wait with the wake signal, repeated until the thread has ended, then joins it.
    void stop();

    Mode mode() const { return m_mode.load(); }
    // The kernel's id of the monitor thread (gettid) once start() has returned, 0 before.
    qint64 threadId() const { return m_threadId.load(); }
    // The real-time signal that ends a wait (its handler is installed without SA_RESTART).
    static int wakeSignal();

private:
    void run();
    bool look(qint64 stamp, bool countersAvailable);
    bool countersMoved(bool countersAvailable);
    bool sleepOnePollInterval();
    void fail(int error);
    void setStarted();

    SerialSystem& m_system;
    const int m_fd;
    const quint32 m_watched;
    Clock m_clock;
    ChangeSink m_changed;
    FailureSink m_failed;

    std::thread m_thread;
    std::atomic<bool> m_stopRequested{false};
    std::atomic<Mode> m_mode{Mode::Starting};
    std::atomic<qint64> m_threadId{0};
    std::mutex m_mutex;
    std::condition_variable m_stateChanged;
    bool m_started = false;
    bool m_finished = false;

    // Monitor-thread state.
    LineChangeDecoder m_decoder;
};
