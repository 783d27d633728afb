#include "mock/PtyPair.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair() {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        if (master >= 0)
            ::close(master);
        return;
    }
    m_master = master;
    m_slave = QString::fromLocal8Bit(ptsname(master));
    // The bytes pass unchanged, as on a serial line.
    termios raw{};
    if (tcgetattr(master, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(master, TCSANOW, &raw);
    }
}

PtyPair::~PtyPair() {
    close();
}

bool PtyPair::write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put =
            ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += put;
    }
    return true;
}

QByteArray PtyPair::read(int timeoutMs) {
    QByteArray bytes;
    pollfd entry{m_master, POLLIN, 0};
    if (::poll(&entry, 1, timeoutMs) <= 0)
        return bytes;
    char buffer[4096];
    const ssize_t got = ::read(m_master, buffer, sizeof buffer);
    if (got > 0)
        bytes.append(buffer, got);
    return bytes;
}

void PtyPair::close() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}
