#pragma once

#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// Keeps a test from hanging on a FIFO that the code under test opens for reading. After the
// delay it opens the FIFO for writing and closes it again, which ends a blocked open or read
// (the reader then sees an empty file), and records that it had to. Should even that not help,
// it ends the process after a second delay rather than let the test run into its time-out.
class FifoWatchdog {
public:
    FifoWatchdog(const QString& fifoPath, int milliseconds = 3000);
    ~FifoWatchdog();
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    // True when the reader had to be released: the code under test blocked.
    bool fired() const { return m_fired; }

private:
    void run();

    QByteArray m_path;
    int m_milliseconds;
    std::atomic<bool> m_fired{false};
    bool m_stop = false;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
};
