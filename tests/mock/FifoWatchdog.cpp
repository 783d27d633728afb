#include "mock/FifoWatchdog.h"

#include <QFile>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

FifoWatchdog::FifoWatchdog(const QString& fifoPath, int milliseconds)
    : m_path(QFile::encodeName(fifoPath)), m_milliseconds(milliseconds),
      m_thread([this] { run(); }) {}

FifoWatchdog::~FifoWatchdog() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void FifoWatchdog::run() {
    using namespace std::chrono;
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_wake.wait_for(lock, milliseconds(m_milliseconds), [this] { return m_stop; }))
        return;
    std::optional<steady_clock::time_point> giveUp;
    while (!m_wake.wait_for(lock, milliseconds(10), [this] { return m_stop; })) {
        struct stat info {};
        if (::stat(m_path.constData(), &info) != 0 || !S_ISFIFO(info.st_mode))
            continue;
        // Opening for writing without blocking succeeds only while a reader waits.
        const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            m_fired = true;
            ::close(fd);
            if (!giveUp)
                giveUp = steady_clock::now() + milliseconds(4 * m_milliseconds);
        }
        if (giveUp && steady_clock::now() > *giveUp) {
            std::fprintf(stderr, "FifoWatchdog: still blocked on %s, ending the test\n",
                         m_path.constData());
            std::_Exit(3);
        }
    }
}
