#include "platform/SerialLine.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>

SerialLine::~SerialLine() {
    close();
}

namespace {

// O_NONBLOCK keeps open from waiting for a carrier that a light barrier never gives.
constexpr int OpenFlags = O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;

int checkCharacterDevice(SerialSystem& system, int fd) {
    const int character = system.isCharacterDevice(fd);
    return character < 0 ? character : (character == 0 ? -ENOTTY : 0);
}

int lock(SerialSystem& system, int fd) {
    const int locked = system.lockExclusive(fd);
    // Someone else's lock is a busy port, not a "try again".
    return locked == -EWOULDBLOCK ? -EBUSY : locked;
}

} // namespace

int SerialLine::open(const QString& path) {
    close();
    const int fd = m_system.openDevice(path, OpenFlags);
    if (fd < 0)
        return fd;
    m_fd = fd;
    int failure = checkCharacterDevice(m_system, fd);
    if (failure == 0)
        failure = m_system.setExclusive(fd);
    if (failure == 0)
        failure = lock(m_system, fd);
    if (failure < 0)
        close();
    return failure;
}

int SerialLine::probe(SerialSystem& system, const QString& path) {
    const int fd = system.openDevice(path, OpenFlags);
    if (fd < 0)
        return fd;
    int failure = checkCharacterDevice(system, fd);
    if (failure == 0)
        failure = lock(system, fd);
    system.closeDevice(fd);
    return failure;
}

int SerialLine::configure(const SerialLineSettings& settings) {
    if (m_fd < 0)
        return -EBADF;
    termios current{};
    int failure = m_system.getAttributes(m_fd, &current);
    if (failure < 0)
        return failure;
    if (!m_found)
        m_found = current;
    const std::optional<termios> raw = rawAttributes(current, settings);
    if (!raw)
        return -EINVAL;
    failure = m_system.setAttributes(m_fd, TCSANOW, *raw);
    if (failure < 0)
        return failure;
    failure = m_system.flush(m_fd, TCIOFLUSH);
    if (failure < 0)
        return failure;
    // RTS stays on whatever the flow control: it feeds the stop contact, and a handshake would
    // drop it as soon as unread input filled the buffer.
    failure = m_system.setModemBits(m_fd, TIOCM_RTS | (settings.enableDtr ? TIOCM_DTR : 0));
    if (!settings.modemLinesRequired)
        return 0;
    if (failure < 0)
        return failure;
    if (!settings.enableDtr) {
        failure = m_system.clearModemBits(m_fd, TIOCM_DTR);
        if (failure < 0)
            return failure;
    }
    // A device without modem lines (a pty, say) cannot watch a barrier: fail here, not later.
    int levels = 0;
    failure = m_system.getModemBits(m_fd, &levels);
    return failure < 0 ? failure : 0;
}

void SerialLine::close() {
    if (m_fd < 0)
        return;
    // An unplugged adapter refuses this; there is nothing left to restore then.
    if (m_found)
        m_system.setAttributes(m_fd, TCSANOW, *m_found);
    m_found.reset();
    m_system.closeDevice(m_fd);
    m_fd = -1;
}

std::optional<speed_t> SerialLine::speedFor(quint32 baudRate) {
    switch (baudRate) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return std::nullopt;
    }
}

std::optional<termios> SerialLine::rawAttributes(const termios& current,
                                                 const SerialLineSettings& settings) {
    const std::optional<speed_t> speed = speedFor(settings.baudRate);
    if (!speed)
        return std::nullopt;
    termios raw = current;
    raw.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                          ICRNL | IXON | IXOFF | IXANY | INPCK);
    raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    raw.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    // CLOCAL: without it a carrier drop on the intermediate line would hang the port up.
    raw.c_cflag |= CLOCAL | CREAD;
    switch (settings.dataBits) {
    case 5:
        raw.c_cflag |= CS5;
        break;
    case 6:
        raw.c_cflag |= CS6;
        break;
    case 7:
        raw.c_cflag |= CS7;
        break;
    default:
        raw.c_cflag |= CS8;
        break;
    }
    switch (settings.parity) {
    case SerialLineSettings::Parity::None:
        break;
    case SerialLineSettings::Parity::Odd:
        raw.c_cflag |= PARENB | PARODD;
        break;
    case SerialLineSettings::Parity::Even:
        raw.c_cflag |= PARENB;
        break;
    case SerialLineSettings::Parity::Mark:
        raw.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case SerialLineSettings::Parity::Space:
        raw.c_cflag |= PARENB | CMSPAR;
        break;
    }
    // termios has no 1.5 stop bits; the UART gives 1.5 for CSTOPB with 5 data bits.
    if (settings.stopBits != SerialLineSettings::StopBits::One)
        raw.c_cflag |= CSTOPB;
    if (settings.flowControl == SerialLineSettings::FlowControl::XonXoff)
        raw.c_iflag |= IXON | IXOFF;
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    cfsetispeed(&raw, *speed);
    cfsetospeed(&raw, *speed);
    return raw;
}
