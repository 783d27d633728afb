#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class SerialLine;
class SerialSystem;

// The serial port of a scoreboard. send() only queues: a thread of its own writes, at the
// board's rate, so a slow board, a full line or no board at all never holds up the timing.
// A newer running time replaces one not yet sent; of the other frames the oldest go when more
// than a few wait.
class ScoreboardPort {
public:
    explicit ScoreboardPort(std::shared_ptr<SerialSystem> system);
    ~ScoreboardPort();
    ScoreboardPort(const ScoreboardPort&) = delete;
    ScoreboardPort& operator=(const ScoreboardPort&) = delete;

    // False with lastError() when the device cannot be opened now.
    bool open(const QString& device, int baudRate);
    void close();
    bool isOpen() const;
    // The device stopped taking bytes (unplugged); open() again once it is back.
    bool failed() const { return m_failed.load(); }
    QString device() const { return m_device; }
    int baudRate() const { return m_baudRate; }
    QString lastError() const { return m_lastError; }

    // Safe on any thread, never waits for the line. `replaceable`: a running time, which the
    // next one makes worthless.
    void send(const QByteArray& frame, bool replaceable);
    // Frames let go because the board could not take them in time.
    quint64 dropped() const { return m_dropped.load(); }

    static constexpr std::size_t MaxQueued = 8;
    // How long a frame may wait for the line before the board counts as gone.
    static constexpr int WriteTimeoutMs = 2000;

private:
    void run();
    bool write(const QByteArray& frame);

    std::shared_ptr<SerialSystem> m_system;
    std::unique_ptr<SerialLine> m_line;
    QString m_device;
    int m_baudRate = 2400;
    QString m_lastError;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    struct Frame {
        QByteArray bytes;
        bool replaceable = false;
    };
    std::deque<Frame> m_queue;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_failed{false};
    std::atomic<quint64> m_dropped{0};
    std::thread m_thread;
};
