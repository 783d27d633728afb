#include "platform/SerialDataReader.h"

#include <array>

SerialDataReader::SerialDataReader(SerialSystem& system, int fd, QByteArray terminators,
                                   Clock clock, LineSink line, FailureSink failed)
    : m_system(system), m_fd(fd), m_terminators(std::move(terminators)), m_clock(std::move(clock)),
      m_line(std::move(line)), m_failed(std::move(failed)) {
    m_pending.reserve(MaxLineBytes);
}

SerialDataReader::~SerialDataReader() {
    stop();
}

void SerialDataReader::start() {
    if (m_thread.joinable())
        return;
    m_stopRequested = false;
    m_thread = std::thread([this] { run(); });
}

void SerialDataReader::stop() {
    m_stopRequested = true;
    if (m_thread.joinable())
        m_thread.join();
}

void SerialDataReader::run() {
    std::array<char, 1024> buffer{};
    while (!m_stopRequested.load()) {
        const int ready = m_system.waitReady(m_fd, false, StopCheckMs);
        if (ready == 0)
            continue;
        const int got =
            ready < 0 ? ready : m_system.readData(m_fd, buffer.data(), int(buffer.size()));
        if (got < 0) {
            m_failed(-got);
            return;
        }
        // The clock is read once the bytes are in: the stamp of every line this read ended.
        if (got > 0)
            take(buffer.data(), got, m_clock());
    }
}

void SerialDataReader::take(const char* bytes, int size, qint64 stamp) {
    for (int i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (m_terminators.contains(c)) {
            // The LF of a CR LF pair ends an empty line: nothing to hand on.
            if (!m_pending.isEmpty())
                m_line(m_pending, stamp);
            m_pending.clear();
            continue;
        }
        m_pending.append(c);
        if (m_pending.size() >= MaxLineBytes) {
            m_line(m_pending, stamp);
            m_pending.clear();
        }
    }
}
