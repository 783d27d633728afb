#include "platform/PosixSerialSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int result(int value) {
    return value < 0 ? -errno : value;
}

} // namespace

std::shared_ptr<SerialSystem> PosixSerialSystem::instance() {
    static const std::shared_ptr<SerialSystem> system = std::make_shared<PosixSerialSystem>();
    return system;
}

int PosixSerialSystem::openDevice(const QString& path, int flags) {
    const QByteArray name = QFile::encodeName(path);
    int fd = -1;
    do {
        fd = ::open(name.constData(), flags);
    } while (fd < 0 && errno == EINTR);
    return result(fd);
}

int PosixSerialSystem::closeDevice(int fd) {
    // Linux releases the descriptor even when close reports EINTR, so no retry.
    return result(::close(fd));
}

int PosixSerialSystem::isCharacterDevice(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) < 0)
        return -errno;
    return S_ISCHR(status.st_mode) ? 1 : 0;
}

int PosixSerialSystem::lockExclusive(int fd) {
    return result(::flock(fd, LOCK_EX | LOCK_NB));
}

int PosixSerialSystem::setExclusive(int fd) {
    return result(::ioctl(fd, TIOCEXCL));
}

int PosixSerialSystem::getAttributes(int fd, termios* attributes) {
    return result(::tcgetattr(fd, attributes));
}

int PosixSerialSystem::setAttributes(int fd, int optionalActions, const termios& attributes) {
    return result(::tcsetattr(fd, optionalActions, &attributes));
}

int PosixSerialSystem::flush(int fd, int queueSelector) {
    return result(::tcflush(fd, queueSelector));
}

int PosixSerialSystem::setModemBits(int fd, int bits) {
    return result(::ioctl(fd, TIOCMBIS, &bits));
}

int PosixSerialSystem::clearModemBits(int fd, int bits) {
    return result(::ioctl(fd, TIOCMBIC, &bits));
}

int PosixSerialSystem::getModemBits(int fd, int* bits) {
    return result(::ioctl(fd, TIOCMGET, bits));
}

int PosixSerialSystem::waitModemChange(int fd, int lines) {
    return result(::ioctl(fd, TIOCMIWAIT, static_cast<unsigned long>(lines)));
}

int PosixSerialSystem::getCounters(int fd, SerialLineCounters* counters) {
    serial_icounter_struct raw{};
    if (::ioctl(fd, TIOCGICOUNT, &raw) < 0)
        return -errno;
    counters->cts = static_cast<quint32>(raw.cts);
    counters->dsr = static_cast<quint32>(raw.dsr);
    counters->rng = static_cast<quint32>(raw.rng);
    counters->dcd = static_cast<quint32>(raw.dcd);
    return 0;
}

int PosixSerialSystem::inputQueueSize(int fd, int* bytes) {
    return result(::ioctl(fd, TIOCINQ, bytes));
}

int PosixSerialSystem::readData(int fd, char* buffer, int size) {
    ssize_t got = -1;
    do {
        got = ::read(fd, buffer, static_cast<size_t>(size));
    } while (got < 0 && errno == EINTR);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return 0;
    return got < 0 ? -errno : static_cast<int>(got);
}

int PosixSerialSystem::writeData(int fd, const char* data, int size) {
    ssize_t put = -1;
    do {
        put = ::write(fd, data, static_cast<size_t>(size));
    } while (put < 0 && errno == EINTR);
    if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return 0;
    return put < 0 ? -errno : static_cast<int>(put);
}

int PosixSerialSystem::waitReady(int fd, bool forWriting, int timeoutMs) {
    pollfd entry{fd, static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
    const int ready = ::poll(&entry, 1, timeoutMs);
    if (ready < 0)
        return errno == EINTR ? 0 : -errno;
    if (ready == 0)
        return 0;
    // Input still waiting is read first; a hang-up counts once it is all read.
    if (entry.revents & (forWriting ? POLLOUT : POLLIN))
        return 1;
    return -EIO;
}

QStringList PosixSerialSystem::directoryEntries(const QString& directory) {
    return QDir(directory).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                                     QDir::Name);
}

std::optional<QString> PosixSerialSystem::resolvedPath(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return std::nullopt;
    return canonical;
}

std::optional<QByteArray> PosixSerialSystem::readSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // sysfs reports a size of 4096 whatever the contents, so read up to that.
    return file.read(4096);
}
