#include "FakeLineDevice.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

quint32* counterFor(SerialLineCounters& counters, quint32 line) {
    switch (line) {
    case TIOCM_CTS:
        return &counters.cts;
    case TIOCM_DSR:
        return &counters.dsr;
    case TIOCM_CAR:
        return &counters.dcd;
    case TIOCM_RNG:
        return &counters.rng;
    default:
        return nullptr;
    }
}

constexpr quint32 InputLines = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG;

} // namespace

FakeLineDevice::FakeLineDevice(Options options, Clock clock)
    : m_options(options), m_clock(std::move(clock)) {
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC) == 0) {
        m_wakeRead = ends[0];
        m_wakeWrite = ends[1];
        ::fcntl(m_wakeWrite, F_SETFL, O_NONBLOCK);
    }
}

FakeLineDevice::~FakeLineDevice() {
    m_stopPlayer = true;
    if (m_player.joinable())
        m_player.join();
    ::close(m_wakeRead);
    ::close(m_wakeWrite);
}

void FakeLineDevice::wakeWaiter() {
    const char byte = 1;
    // A full pipe already wakes the waiter; nothing is lost by dropping the byte.
    [[maybe_unused]] const ssize_t written = ::write(m_wakeWrite, &byte, 1);
}

qint64 FakeLineDevice::apply(const Step& step) {
    std::unique_lock lock(m_mutex);
    const qint64 now = m_clock();
    for (quint32 line : {TIOCM_CTS, TIOCM_DSR, TIOCM_CAR, TIOCM_RNG}) {
        if ((step.lines & line) == 0)
            continue;
        quint32* counter = counterFor(m_counters, line);
        // Like the UART's TERI bit, RING is counted at its trailing edge only.
        const bool ring = line == TIOCM_RNG;
        if (step.kind == Step::Kind::Pulse) {
            *counter += ring ? 1 : 2;
            m_edges += 2;
        } else if (step.kind == Step::Kind::Set && ((m_levels ^ step.levels) & line) != 0) {
            if (!ring || (m_levels & line) != 0)
                *counter += 1;
            m_edges += 1;
            m_levels ^= line;
        }
    }
    if (step.kind == Step::Kind::Fail)
        m_error = step.error;
    // Like an interrupt handler: the waiter is woken after the lock is let go, so it does not
    // wake only to wait for the lock.
    lock.unlock();
    if (m_options.wakesWaiter || step.kind == Step::Kind::Fail)
        wakeWaiter();
    return now;
}

qint64 FakeLineDevice::setLevels(quint32 lines, quint32 levels) {
    return apply(setStep(0, lines & InputLines, levels));
}

qint64 FakeLineDevice::pulse(quint32 lines) {
    return apply(pulseStep(0, lines & InputLines));
}

qint64 FakeLineDevice::injectError(int error) {
    return apply(failStep(0, error));
}

void FakeLineDevice::play(std::vector<Step> steps) {
    m_stopPlayer = true;
    if (m_player.joinable())
        m_player.join();
    m_stopPlayer = false;
    {
        std::lock_guard lock(m_mutex);
        m_appliedAt.clear();
        m_stepsToPlay = steps.size();
    }
    m_player = std::thread([this, steps = std::move(steps)] {
        // The player stands in for the hardware: where permitted it runs above the monitor
        // thread, so the edge times it records are not delayed by the program under test.
        sched_param priority{};
        priority.sched_priority = 30;
        if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority) != 0 && m_playerSetup)
            m_playerSetup();
        for (const Step& step : steps) {
            for (qint64 left = step.atMicroseconds - m_clock(); left > 0;
                 left = step.atMicroseconds - m_clock()) {
                if (m_stopPlayer)
                    return;
                std::this_thread::sleep_for(
                    std::chrono::microseconds(std::min<qint64>(left, 2000)));
            }
            const qint64 applied = apply(step);
            std::lock_guard lock(m_mutex);
            m_appliedAt.push_back(applied);
        }
    });
}

bool FakeLineDevice::waitUntilPlayed(int timeoutMilliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        {
            std::lock_guard lock(m_mutex);
            if (m_appliedAt.size() >= m_stepsToPlay)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

std::vector<qint64> FakeLineDevice::appliedAt() const {
    std::lock_guard lock(m_mutex);
    return m_appliedAt;
}

quint64 FakeLineDevice::edgesProduced() const {
    std::lock_guard lock(m_mutex);
    return m_edges;
}

bool FakeLineDevice::isWaiting() const {
    std::lock_guard lock(m_mutex);
    return m_waiting > 0;
}

quint32 FakeLineDevice::outputs() const {
    std::lock_guard lock(m_mutex);
    return m_outputs;
}

int FakeLineDevice::modemBits(int* bits) {
    if (!m_options.hasModemLines)
        return -ENOTTY;
    std::lock_guard lock(m_mutex);
    if (m_error)
        return -m_error;
    *bits = static_cast<int>(m_levels | m_outputs);
    return 0;
}

int FakeLineDevice::setOutputs(int bits) {
    if (!m_options.hasModemLines)
        return -ENOTTY;
    std::lock_guard lock(m_mutex);
    if (m_error)
        return -m_error;
    m_outputs |= static_cast<quint32>(bits) & (TIOCM_DTR | TIOCM_RTS);
    return 0;
}

int FakeLineDevice::clearOutputs(int bits) {
    if (!m_options.hasModemLines)
        return -ENOTTY;
    std::lock_guard lock(m_mutex);
    if (m_error)
        return -m_error;
    m_outputs &= ~static_cast<quint32>(bits);
    return 0;
}

int FakeLineDevice::counters(SerialLineCounters* counters) {
    if (!m_options.hasModemLines || !m_options.hasCounters)
        return -ENOTTY;
    std::lock_guard lock(m_mutex);
    if (m_error)
        return -m_error;
    *counters = m_counters;
    return 0;
}

int FakeLineDevice::waitForChange(quint32 lines) {
    if (!m_options.hasModemLines || !m_options.canWait)
        return -ENOTTY;
    std::unique_lock lock(m_mutex);
    // Like the kernel: compare with the counters at the moment the wait began.
    const SerialLineCounters start = m_counters;
    ++m_waiting;
    for (;;) {
        if (m_error) {
            --m_waiting;
            return -m_error;
        }
        for (quint32 line : {TIOCM_CTS, TIOCM_DSR, TIOCM_CAR, TIOCM_RNG}) {
            SerialLineCounters before = start;
            if ((lines & line) && *counterFor(m_counters, line) != *counterFor(before, line)) {
                --m_waiting;
                return 0;
            }
        }
        lock.unlock();
        char buffer[64];
        const ssize_t got = ::read(m_wakeRead, buffer, sizeof buffer);
        const int error = errno;
        lock.lock();
        if (got < 0 && error == EINTR) {
            --m_waiting;
            return -EINTR;
        }
    }
}
