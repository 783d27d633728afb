#include "timing/ScoreboardPort.h"

#include "platform/PosixSerialSystem.h"
#include "platform/SerialLine.h"

#include <chrono>
#include <cstring>

ScoreboardPort::ScoreboardPort(std::shared_ptr<SerialSystem> system)
    : m_system(system ? std::move(system) : PosixSerialSystem::instance()) {}

ScoreboardPort::~ScoreboardPort() {
    close();
}

bool ScoreboardPort::isOpen() const {
    return m_line && m_line->isOpen();
}

bool ScoreboardPort::open(const QString& device, int baudRate) {
    close();
    m_device = device;
    m_baudRate = baudRate;
    const std::optional<QString> node = m_system->resolvedPath(device);
    if (!node) {
        m_lastError = QStringLiteral("Gerät nicht vorhanden: ") + device;
        return false;
    }
    auto line = std::make_unique<SerialLine>(*m_system);
    int result = line->open(*node);
    if (result == 0) {
        SerialLineSettings settings;
        settings.baudRate = quint32(baudRate);
        settings.modemLinesRequired = false;
        result = line->configure(settings);
    }
    if (result < 0) {
        m_lastError = QString::fromLocal8Bit(std::strerror(-result));
        return false;
    }
    m_line = std::move(line);
    m_lastError.clear();
    m_failed = false;
    m_stop = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void ScoreboardPort::close() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_queue.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    m_line.reset();
}

void ScoreboardPort::send(const QByteArray& frame, bool replaceable) {
    {
        const std::lock_guard lock(m_mutex);
        if (!m_line || m_stop || m_failed.load())
            return;
        if (replaceable && !m_queue.empty() && m_queue.back().replaceable) {
            m_queue.back().bytes = frame;
            ++m_dropped;
        } else {
            m_queue.push_back({frame, replaceable});
            if (m_queue.size() > MaxQueued) {
                m_queue.pop_front();
                ++m_dropped;
            }
        }
    }
    m_wake.notify_one();
}

void ScoreboardPort::run() {
    for (;;) {
        Frame frame;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_stop)
                return;
            frame = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (!write(frame.bytes)) {
            m_failed = true;
            const std::lock_guard lock(m_mutex);
            m_dropped += m_queue.size() + 1;
            m_queue.clear();
            return;
        }
    }
}

bool ScoreboardPort::write(const QByteArray& frame) {
    const int fd = m_line->descriptor();
    qsizetype done = 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(WriteTimeoutMs);
    while (done < frame.size()) {
        if (m_stop)
            return true;
        const int ready = m_system->waitReady(fd, true, 50);
        if (ready < 0)
            return false;
        if (ready > 0) {
            const int put =
                m_system->writeData(fd, frame.constData() + done, int(frame.size() - done));
            if (put < 0)
                return false;
            done += put;
        }
        if (std::chrono::steady_clock::now() > deadline)
            return false;
    }
    return true;
}
