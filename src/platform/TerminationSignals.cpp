#include "platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};

// Written from the signal handler, which may do nothing but write(2).
volatile std::sig_atomic_t g_writeFd = -1;
std::array<struct sigaction, kSignals.size()> g_previous{};

extern "C" void onTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    if (g_writeFd >= 0) [[maybe_unused]]
        const ssize_t written = ::write(g_writeFd, &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (g_writeFd >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_fds) != 0)
        return;
    ::fcntl(m_fds[0], F_SETFL, O_NONBLOCK);
    ::fcntl(m_fds[1], F_SETFL, O_NONBLOCK);
    g_writeFd = m_fds[1];
    m_notifier = new QSocketNotifier(m_fds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_installed = true;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        m_installed = ::sigaction(kSignals[i], &action, &g_previous[i]) == 0 && m_installed;
}

TerminationSignals::~TerminationSignals() {
    if (m_fds[1] < 0)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    g_writeFd = -1;
    delete m_notifier;
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

void TerminationSignals::readPending() {
    unsigned char byte = 0;
    while (::read(m_fds[0], &byte, 1) == 1)
        Q_EMIT terminationRequested(byte);
}
