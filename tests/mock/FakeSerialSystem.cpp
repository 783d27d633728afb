#include "FakeSerialSystem.h"

#include <QDir>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>

namespace {

termios defaultAttributes() {
    // What a freshly plugged-in tty reports: cooked, echoing, 9600 baud.
    termios attributes{};
    attributes.c_iflag = ICRNL | IXON;
    attributes.c_oflag = OPOST | ONLCR;
    attributes.c_cflag = CS8 | CREAD | HUPCL | CRTSCTS;
    attributes.c_lflag = ISIG | ICANON | ECHO | ECHOE | ECHOK | IEXTEN;
    cfsetispeed(&attributes, B9600);
    cfsetospeed(&attributes, B9600);
    return attributes;
}

QString errorName(int result) {
    switch (-result) {
    case EINTR:
        return QStringLiteral("EINTR");
    case EIO:
        return QStringLiteral("EIO");
    case ENOTTY:
        return QStringLiteral("ENOTTY");
    case EINVAL:
        return QStringLiteral("EINVAL");
    case EBUSY:
        return QStringLiteral("EBUSY");
    default:
        return QString::number(-result);
    }
}

} // namespace

FakeSerialSystem::FakeSerialSystem(FakeLineDevice::Clock clock) : m_clock(std::move(clock)) {}

std::shared_ptr<FakeLineDevice> FakeSerialSystem::addDevice(const QString& path,
                                                            FakeLineDevice::Options options) {
    auto device = std::make_shared<FakeLineDevice>(options, m_clock);
    {
        std::lock_guard lock(m_mutex);
        Node node;
        node.device = device;
        node.attributes = defaultAttributes();
        m_nodes.insert(path, node);
    }
    const int slash = path.lastIndexOf(u'/');
    addDirectoryEntry(path.left(slash), path.mid(slash + 1));
    return device;
}

void FakeSerialSystem::addDirectoryEntry(const QString& directory, const QString& name) {
    std::lock_guard lock(m_mutex);
    QStringList& entries = m_directories[directory];
    if (!entries.contains(name))
        entries.append(name);
}

void FakeSerialSystem::addLink(const QString& path, const QString& target) {
    {
        std::lock_guard lock(m_mutex);
        m_links.insert(path, target);
    }
    const int slash = path.lastIndexOf(u'/');
    addDirectoryEntry(path.left(slash), path.mid(slash + 1));
}

void FakeSerialSystem::addFile(const QString& path, const QByteArray& contents) {
    std::lock_guard lock(m_mutex);
    m_files.insert(path, contents);
}

QStringList FakeSerialSystem::calls() const {
    std::lock_guard lock(m_mutex);
    return m_calls;
}

void FakeSerialSystem::clearCalls() {
    std::lock_guard lock(m_mutex);
    m_calls.clear();
}

void FakeSerialSystem::setRecording(bool recording) {
    std::lock_guard lock(m_mutex);
    m_recording = recording;
}

std::optional<termios> FakeSerialSystem::lastAttributes() const {
    std::lock_guard lock(m_mutex);
    return m_lastAttributes;
}

int FakeSerialSystem::openDescriptors() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_descriptors.size());
}

QString FakeSerialSystem::lineNames(quint32 lines) {
    static const std::pair<quint32, const char*> names[] = {{TIOCM_DTR, "DTR"}, {TIOCM_RTS, "RTS"},
                                                            {TIOCM_CTS, "CTS"}, {TIOCM_DSR, "DSR"},
                                                            {TIOCM_CAR, "CD"},  {TIOCM_RNG, "RNG"}};
    QStringList parts;
    for (const auto& [bit, name] : names) {
        if (lines & bit)
            parts.append(QString::fromLatin1(name));
    }
    return parts.isEmpty() ? QStringLiteral("0") : parts.join(u'|');
}

QString FakeSerialSystem::openFlagNames(int flags) {
    QStringList parts;
    parts.append((flags & O_ACCMODE) == O_RDWR     ? QStringLiteral("O_RDWR")
                 : (flags & O_ACCMODE) == O_WRONLY ? QStringLiteral("O_WRONLY")
                                                   : QStringLiteral("O_RDONLY"));
    if (flags & O_NOCTTY)
        parts.append(QStringLiteral("O_NOCTTY"));
    if (flags & O_NONBLOCK)
        parts.append(QStringLiteral("O_NONBLOCK"));
    if (flags & O_CLOEXEC)
        parts.append(QStringLiteral("O_CLOEXEC"));
    return parts.join(u'|');
}

void FakeSerialSystem::record(const QString& call) {
    std::lock_guard lock(m_mutex);
    if (m_recording)
        m_calls.append(call);
}

FakeSerialSystem::Node* FakeSerialSystem::nodeFor(int fd) {
    const auto path = m_descriptors.constFind(fd);
    if (path == m_descriptors.constEnd())
        return nullptr;
    const auto node = m_nodes.find(*path);
    return node == m_nodes.end() ? nullptr : &node.value();
}

std::shared_ptr<FakeLineDevice> FakeSerialSystem::deviceFor(int fd) {
    std::lock_guard lock(m_mutex);
    const Node* node = nodeFor(fd);
    return node ? node->device : nullptr;
}

void FakeSerialSystem::setOpenError(const QString& path, int error) {
    std::lock_guard lock(m_mutex);
    const auto node = m_nodes.find(path);
    if (node != m_nodes.end())
        node->openError = error;
}

void FakeSerialSystem::unplug(const QString& path) {
    std::shared_ptr<FakeLineDevice> device;
    {
        std::lock_guard lock(m_mutex);
        const auto node = m_nodes.find(path);
        if (node == m_nodes.end())
            return;
        node->unplugged = true;
        device = node->device;
        const int slash = path.lastIndexOf(u'/');
        m_directories[path.left(slash)].removeAll(path.mid(slash + 1));
        for (auto link = m_links.begin(); link != m_links.end();) {
            if (*link == path) {
                const int at = link.key().lastIndexOf(u'/');
                m_directories[link.key().left(at)].removeAll(link.key().mid(at + 1));
                link = m_links.erase(link);
            } else {
                ++link;
            }
        }
    }
    device->injectError(EIO);
}

int FakeSerialSystem::openDevice(const QString& path, int flags) {
    record(QStringLiteral("open %1 %2").arg(path, openFlagNames(flags)));
    std::lock_guard lock(m_mutex);
    const auto node = m_nodes.find(path);
    if (node == m_nodes.end() || node->unplugged)
        return -ENOENT;
    if (node->openError)
        return -node->openError;
    if (node->device->options().openError)
        return -node->device->options().openError;
    if (node->exclusive)
        return -EBUSY;
    const int fd = m_nextDescriptor++;
    ++node->openCount;
    m_descriptors.insert(fd, path);
    return fd;
}

int FakeSerialSystem::closeDevice(int fd) {
    record(QStringLiteral("close %1").arg(fd));
    std::lock_guard lock(m_mutex);
    Node* node = nodeFor(fd);
    if (!node)
        return -EBADF;
    if (node->lockHolder == fd)
        node->lockHolder = -1;
    // The kernel forgets TIOCEXCL when the last descriptor of the tty is closed.
    if (--node->openCount == 0)
        node->exclusive = false;
    m_descriptors.remove(fd);
    return 0;
}

int FakeSerialSystem::isCharacterDevice(int fd) {
    record(QStringLiteral("fstat %1").arg(fd));
    const std::shared_ptr<FakeLineDevice> device = deviceFor(fd);
    if (!device)
        return -EBADF;
    return device->options().characterDevice ? 1 : 0;
}

int FakeSerialSystem::lockExclusive(int fd) {
    record(QStringLiteral("flock %1").arg(fd));
    std::lock_guard lock(m_mutex);
    Node* node = nodeFor(fd);
    if (!node)
        return -EBADF;
    if (node->device->options().lockedByOther || (node->lockHolder >= 0 && node->lockHolder != fd))
        return -EWOULDBLOCK;
    node->lockHolder = fd;
    return 0;
}

int FakeSerialSystem::setExclusive(int fd) {
    record(QStringLiteral("TIOCEXCL %1").arg(fd));
    std::lock_guard lock(m_mutex);
    Node* node = nodeFor(fd);
    if (!node)
        return -EBADF;
    if (!node->device->options().characterDevice)
        return -ENOTTY;
    node->exclusive = true;
    return 0;
}

int FakeSerialSystem::getAttributes(int fd, termios* attributes) {
    record(QStringLiteral("tcgetattr %1").arg(fd));
    std::lock_guard lock(m_mutex);
    const Node* node = nodeFor(fd);
    if (!node)
        return -EBADF;
    *attributes = node->attributes;
    return 0;
}

int FakeSerialSystem::setAttributes(int fd, int optionalActions, const termios& attributes) {
    record(QStringLiteral("tcsetattr %1 %2")
               .arg(fd)
               .arg(optionalActions == TCSANOW ? QStringLiteral("TCSANOW")
                                               : QString::number(optionalActions)));
    std::lock_guard lock(m_mutex);
    Node* node = nodeFor(fd);
    if (!node)
        return -EBADF;
    if (node->device->options().setAttributesError)
        return -node->device->options().setAttributesError;
    node->attributes = attributes;
    m_lastAttributes = attributes;
    return 0;
}

int FakeSerialSystem::flush(int fd, int queueSelector) {
    record(QStringLiteral("tcflush %1 %2")
               .arg(fd)
               .arg(queueSelector == TCIOFLUSH ? QStringLiteral("TCIOFLUSH")
                                               : QString::number(queueSelector)));
    return deviceFor(fd) ? 0 : -EBADF;
}

int FakeSerialSystem::setModemBits(int fd, int bits) {
    record(QStringLiteral("TIOCMBIS %1 %2").arg(fd).arg(lineNames(static_cast<quint32>(bits))));
    const std::shared_ptr<FakeLineDevice> device = deviceFor(fd);
    return device ? device->setOutputs(bits) : -EBADF;
}

int FakeSerialSystem::clearModemBits(int fd, int bits) {
    record(QStringLiteral("TIOCMBIC %1 %2").arg(fd).arg(lineNames(static_cast<quint32>(bits))));
    const std::shared_ptr<FakeLineDevice> device = deviceFor(fd);
    return device ? device->clearOutputs(bits) : -EBADF;
}

int FakeSerialSystem::getModemBits(int fd, int* bits) {
    record(QStringLiteral("TIOCMGET %1").arg(fd));
    const std::shared_ptr<FakeLineDevice> device = deviceFor(fd);
    return device ? device->modemBits(bits) : -EBADF;
}

int FakeSerialSystem::waitModemChange(int fd, int lines) {
    record(QStringLiteral("TIOCMIWAIT %1 %2").arg(fd).arg(lineNames(static_cast<quint32>(lines))));
    const std::shared_ptr<FakeLineDevice> device = deviceFor(fd);
    const int result = device ? device->waitForChange(static_cast<quint32>(lines)) : -EBADF;
    if (result < 0)
        record(QStringLiteral("TIOCMIWAIT %1 -> %2").arg(fd).arg(errorName(result)));
    return result;
}

int FakeSerialSystem::getCounters(int fd, SerialLineCounters* counters) {
    record(QStringLiteral("TIOCGICOUNT %1").arg(fd));
    const std::shared_ptr<FakeLineDevice> device = deviceFor(fd);
    return device ? device->counters(counters) : -EBADF;
}

int FakeSerialSystem::inputQueueSize(int fd, int* bytes) {
    record(QStringLiteral("TIOCINQ %1").arg(fd));
    if (!deviceFor(fd))
        return -EBADF;
    *bytes = 0;
    return 0;
}

QStringList FakeSerialSystem::directoryEntries(const QString& directory) {
    std::lock_guard lock(m_mutex);
    return m_directories.value(directory);
}

std::optional<QString> FakeSerialSystem::resolvedPath(const QString& path) {
    std::lock_guard lock(m_mutex);
    QString current = path;
    // Links may chain; a loop or a dangling end resolves to nothing, as realpath(3) does.
    for (int hops = 0; hops < 8; ++hops) {
        if ((m_nodes.contains(current) && !m_nodes.value(current).unplugged) ||
            m_files.contains(current))
            return current;
        const auto link = m_links.constFind(current);
        if (link == m_links.constEnd())
            return std::nullopt;
        current = QDir::cleanPath(
            link->startsWith(u'/') ? *link : current.left(current.lastIndexOf(u'/') + 1) + *link);
    }
    return std::nullopt;
}

std::optional<QByteArray> FakeSerialSystem::readSmallFile(const QString& path) {
    std::lock_guard lock(m_mutex);
    const auto file = m_files.constFind(path);
    if (file == m_files.constEnd())
        return std::nullopt;
    return *file;
}
