#pragma once

#include "platform/SerialSystem.h"

#include <QByteArray>
#include <QtGlobal>

#include <atomic>
#include <functional>
#include <thread>

// The thread that reads the lines a timer sends on an open device, stamps each line the moment
// its last byte is read and hands it on without ever waiting for the receiver.
class SerialDataReader {
public:
    using Clock = std::function<qint64()>;
    // Called on the reader thread with the line (without its terminator) and its stamp; must
    // return at once.
    using LineSink = std::function<void(const QByteArray& line, qint64 stamp)>;
    // Called on the reader thread once, just before it ends because the device failed or hung
    // up; the argument is the errno.
    using FailureSink = std::function<void(int)>;

    // A line longer than this is handed on cut, as the unreadable line it is.
    static constexpr int MaxLineBytes = 512;
    // How often the thread looks whether it should stop while nothing arrives.
    static constexpr int StopCheckMs = 50;

    SerialDataReader(SerialSystem& system, int fd, QByteArray terminators, Clock clock,
                     LineSink line, FailureSink failed);
    ~SerialDataReader();
    SerialDataReader(const SerialDataReader&) = delete;
    SerialDataReader& operator=(const SerialDataReader&) = delete;

    void start();
    // Returns once the thread has ended (within StopCheckMs).
    void stop();

private:
    void run();
    void take(const char* bytes, int size, qint64 stamp);

    SerialSystem& m_system;
    const int m_fd;
    const QByteArray m_terminators;
    Clock m_clock;
    LineSink m_line;
    FailureSink m_failed;
    std::thread m_thread;
    std::atomic<bool> m_stopRequested{false};
    QByteArray m_pending; // reader thread only
};
