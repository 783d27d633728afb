#include "platform/SerialLineMonitor.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <ctime>
#include <pthread.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

void ignoreWakeSignal(int) {}

void installWakeHandler() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action {};
        action.sa_handler = ignoreWakeSignal;
        sigemptyset(&action.sa_mask);
        // No SA_RESTART: the kernel must leave TIOCMIWAIT with EINTR, not re-enter it.
        action.sa_flags = 0;
        sigaction(SerialLineMonitor::wakeSignal(), &action, nullptr);
    });
}

// Breaks this thread's wait periodically; see SweepIntervalMicroseconds.
class SweepTimer {
public:
    explicit SweepTimer(int periodMicroseconds) {
        sigevent event{};
        event.sigev_notify = SIGEV_THREAD_ID;
        event.sigev_signo = SerialLineMonitor::wakeSignal();
        event._sigev_un._tid = gettid();
        if (timer_create(CLOCK_MONOTONIC, &event, &m_timer) != 0)
            return;
        m_created = true;
        itimerspec period{};
        period.it_interval.tv_nsec = periodMicroseconds * 1000L;
        period.it_value = period.it_interval;
        timer_settime(m_timer, 0, &period, nullptr);
    }
    ~SweepTimer() {
        if (m_created)
            timer_delete(m_timer);
    }
    SweepTimer(const SweepTimer&) = delete;
    SweepTimer& operator=(const SweepTimer&) = delete;

private:
    timer_t m_timer{};
    bool m_created = false;
};

bool cannotWait(int result) {
    return result == -ENOTTY || result == -EINVAL;
}

} // namespace

SerialLineMonitor::SerialLineMonitor(SerialSystem& system, int fd, quint32 watchedLines,
                                     Clock clock, ChangeSink changed, FailureSink failed)
    : m_system(system), m_fd(fd), m_watched(watchedLines), m_clock(std::move(clock)),
      m_changed(std::move(changed)), m_failed(std::move(failed)), m_decoder(watchedLines) {}

SerialLineMonitor::~SerialLineMonitor() {
    stop();
}

int SerialLineMonitor::wakeSignal() {
    return SIGRTMIN + 2;
}

void SerialLineMonitor::start() {
    if (m_thread.joinable())
        return;
    installWakeHandler();
    m_stopRequested = false;
    {
        std::lock_guard lock(m_mutex);
        m_started = false;
        m_finished = false;
    }
    m_thread = std::thread([this] {
        run();
        setStarted();
        std::lock_guard lock(m_mutex);
        m_finished = true;
        m_stateChanged.notify_all();
    });
    std::unique_lock lock(m_mutex);
    m_stateChanged.wait(lock, [this] { return m_started; });
}

void SerialLineMonitor::stop() {
    if (!m_thread.joinable())
        return;
    m_stopRequested = true;
    {
        std::unique_lock lock(m_mutex);
        // One signal can arrive just before the thread enters the wait and be lost, so it is
        // sent again until the thread has ended.
        while (!m_finished) {
            pthread_kill(m_thread.native_handle(), wakeSignal());
            m_stateChanged.wait_for(lock, std::chrono::milliseconds(1));
        }
    }
    m_thread.join();
}

void SerialLineMonitor::setStarted() {
    std::lock_guard lock(m_mutex);
    if (!m_started) {
        m_started = true;
        m_stateChanged.notify_all();
    }
}

void SerialLineMonitor::fail(int error) {
    m_mode = Mode::Failed;
    if (m_failed)
        m_failed(error);
}

void SerialLineMonitor::run() {
    sigset_t wake;
    sigemptyset(&wake);
    sigaddset(&wake, wakeSignal());
    pthread_sigmask(SIG_UNBLOCK, &wake, nullptr);
    // The owner raises this thread to real-time scheduling by this id once start() returns.
    m_threadId = gettid();
    const bool ringWatched = (m_watched & TIOCM_RNG) != 0;
    SweepTimer sweep(ringWatched ? RingSweepIntervalMicroseconds : SweepIntervalMicroseconds);

    SerialLineCounters counters;
    int result = m_system.getCounters(m_fd, &counters);
    const bool countersAvailable = result >= 0;
    if (!countersAvailable && !cannotWait(result))
        return fail(-result);
    int levels = 0;
    result = m_system.getModemBits(m_fd, &levels);
    if (result < 0)
        return fail(-result);
    m_decoder.reset(static_cast<quint32>(levels),
                    countersAvailable ? std::optional(counters) : std::nullopt);
    m_mode = Mode::Waiting;
    setStarted();

    while (!m_stopRequested) {
        if (m_mode == Mode::Waiting) {
            if (countersMoved(countersAvailable)) {
                if (!look(m_clock(), countersAvailable))
                    return;
                continue;
            }
            result = m_system.waitModemChange(m_fd, static_cast<int>(m_watched));
            const qint64 stamp = m_clock();
            if (cannotWait(result)) {
                m_mode = Mode::Polling;
                continue;
            }
            if (result < 0 && result != -EINTR)
                return fail(-result);
            if (m_stopRequested)
                break;
            if ((result >= 0 || !countersAvailable || ringWatched) &&
                !look(stamp, countersAvailable))
                return;
        } else {
            if (!sleepOnePollInterval())
                break;
            if (!look(m_clock(), countersAvailable))
                return;
        }
    }
}

bool SerialLineMonitor::sleepOnePollInterval() {
    timespec until{};
    clock_gettime(CLOCK_MONOTONIC, &until);
    until.tv_nsec += PollIntervalMicroseconds * 1000L;
    if (until.tv_nsec >= 1000000000L) {
        until.tv_nsec -= 1000000000L;
        ++until.tv_sec;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
        if (m_stopRequested)
            return false;
    }
    return !m_stopRequested;
}

bool SerialLineMonitor::countersMoved(bool countersAvailable) {
    if (!countersAvailable)
        return false;
    SerialLineCounters now;
    if (m_system.getCounters(m_fd, &now) < 0)
        return true; // let the full look report the failure
    const std::optional<SerialLineCounters> baseline = m_decoder.countedBaseline();
    return !baseline || now.cts != baseline->cts || now.dsr != baseline->dsr ||
           now.dcd != baseline->dcd || ((m_watched & TIOCM_RNG) != 0 && now.rng != baseline->rng);
}

bool SerialLineMonitor::look(qint64 stamp, bool countersAvailable) {
    std::optional<SerialLineCounters> counters;
    if (countersAvailable) {
        SerialLineCounters now;
        const int result = m_system.getCounters(m_fd, &now);
        if (result < 0) {
            fail(-result);
            return false;
        }
        counters = now;
    }
    int levels = 0;
    const int result = m_system.getModemBits(m_fd, &levels);
    if (result < 0) {
        fail(-result);
        return false;
    }
    for (LineChange change : m_decoder.update(static_cast<quint32>(levels), counters)) {
        change.stampMicroseconds = stamp;
        m_changed(change);
    }
    return true;
}
