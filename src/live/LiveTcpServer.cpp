#include "live/LiveTcpServer.h"

#include "live/LiveConnection.h"
#include "platform/OpenFileLimit.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int SweepIntervalMs = 500;
constexpr int ListenBacklog = 1024;
constexpr char Refusal[] = "HTTP/1.1 503 Service Unavailable\r\nRetry-After: 3\r\n"
                           "Content-Type: text/plain; charset=utf-8\r\nContent-Length: 0\r\n"
                           "Connection: close\r\n\r\n";

// The address of either end of a connected socket.
QHostAddress endOf(qintptr descriptor, bool peer) {
    sockaddr_storage end{};
    socklen_t length = sizeof(end);
    // The socket API's address types are a family of structs reached through casts.
    auto* address = reinterpret_cast<sockaddr*>(&end);
    const int fd = static_cast<int>(descriptor);
    if ((peer ? getpeername(fd, address, &length) : getsockname(fd, address, &length)) != 0)
        return {};
    return QHostAddress(address);
}

// Which connections give their descriptor back first when the program needs it.
int shedOrder(LiveConnection::Phase phase) {
    switch (phase) {
    case LiveConnection::Phase::Waiting:
    case LiveConnection::Phase::Reading:
    case LiveConnection::Phase::Closing:
        return 0;
    case LiveConnection::Phase::Answering:
        return 1;
    case LiveConnection::Phase::Streaming:
        break;
    }
    return 2;
}

bool sameNetwork64(const QHostAddress& a, const QHostAddress& b) {
    if (a.protocol() != QAbstractSocket::IPv6Protocol ||
        b.protocol() != QAbstractSocket::IPv6Protocol)
        return false;
    const Q_IPV6ADDR x = a.toIPv6Address();
    const Q_IPV6ADDR y = b.toIPv6Address();
    return std::equal(x.c, x.c + 8, y.c);
}

} // namespace

LiveTcpServer::LiveTcpServer(Limits limits, QObject* parent)
    : QTcpServer(parent), m_limits(limits), m_cap(limits.maxConnections) {
    m_sweep = new QTimer(this);
    m_sweep->setInterval(SweepIntervalMs);
    connect(m_sweep, &QTimer::timeout, this, &LiveTcpServer::sweep);
    m_sweep->start();
    // A listening socket stays readable while accepting fails for want of descriptors; it
    // rests until a count finds descriptors free again, instead of being asked again and again.
    connect(this, &QTcpServer::acceptError, this, [this] {
        pauseAccepting();
        m_acceptPaused = true;
    });
}

LiveTcpServer::~LiveTcpServer() {
    for (LiveConnection* connection : std::as_const(m_connections))
        disconnect(connection, nullptr, this, nullptr);
}

int LiveTcpServer::capFor(const Limits& limits, qint64 fileLimit, int openFiles) {
    const qint64 room = fileLimit - qMax(0, openFiles) - limits.reservedFiles;
    return static_cast<int>(std::clamp<qint64>(room, 0, limits.maxConnections));
}

bool LiveTcpServer::listenOn(const QHostAddress& address, quint16 port, QString* error) {
    m_ownFiles = qMax(0, OpenFileLimit::openCount());
    m_cap = capFor(m_limits, OpenFileLimit::soft(), m_ownFiles);
    // A venue's phones come back together after a break in the Wi-Fi; a short queue of
    // waiting connections would drop most of them for a second or more.
    setListenBacklogSize(ListenBacklog);
    if (!listen(address, port)) {
        if (error)
            *error = errorString();
        return false;
    }
    return true;
}

QByteArray LiveTcpServer::addressKey(const QHostAddress& peer, const QHostAddress& local) {
    bool mapped = false;
    const quint32 v4 = peer.toIPv4Address(&mapped);
    if (mapped)
        return QHostAddress(v4).toString().toLatin1();
    if (peer.protocol() != QAbstractSocket::IPv6Protocol || peer.isLinkLocal() ||
        peer.isUniqueLocalUnicast() || peer.isSiteLocal() || sameNetwork64(peer, local))
        return peer.toString().toLatin1();
    Q_IPV6ADDR bytes = peer.toIPv6Address();
    for (int i = 8; i < 16; ++i)
        bytes[i] = 0;
    return QHostAddress(bytes).toString().toLatin1() + "/64";
}

void LiveTcpServer::refuseAtOnce(qintptr descriptor) {
    const int fd = static_cast<int>(descriptor);
    // One try, never waiting: a client that cannot take these few bytes learns it from the close.
    const ssize_t sent = ::send(fd, Refusal, sizeof(Refusal) - 1, MSG_DONTWAIT | MSG_NOSIGNAL);
    Q_UNUSED(sent);
    ::close(fd);
}

void LiveTcpServer::incomingConnection(qintptr descriptor) {
    const QByteArray key = addressKey(endOf(descriptor, true), endOf(descriptor, false));
    // Worked out at every connection, as the limit may have been lowered and the program's own
    // files may have grown since the last count. Descriptors are handed out lowest first, so
    // every one below this new one is in use, whoever holds it.
    const qint64 inUse = qMax<qint64>(descriptor, m_ownFiles + openConnections());
    m_cap = capFor(m_limits, OpenFileLimit::soft(), static_cast<int>(inUse - openConnections()));
    if (openConnections() >= m_cap ||
        m_perAddress.value(key) >= m_limits.maxConnectionsPerAddress) {
        refuseAtOnce(descriptor);
        return;
    }
    auto* socket = new QTcpSocket();
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(static_cast<int>(descriptor));
        return;
    }
    auto* connection = new LiveConnection(socket, m_limits, this);
    connection->setAddressKey(key);
    m_connections.insert(connection);
    ++m_perAddress[key];
    connect(connection, &LiveConnection::requestReceived, this, &LiveTcpServer::requestReceived);
    connect(connection, &LiveConnection::finished, this, &LiveTcpServer::forget);
}

void LiveTcpServer::forget(LiveConnection* connection) {
    if (!m_connections.remove(connection))
        return;
    const QByteArray key = connection->addressKey();
    if (--m_perAddress[key] <= 0)
        m_perAddress.remove(key);
    Q_EMIT connectionFinished(connection);
}

void LiveTcpServer::keepTheReserve() {
    const qint64 fileLimit = OpenFileLimit::soft();
    const int open = OpenFileLimit::openCount();
    int excess = 0;
    if (open >= fileLimit) {
        // Not a descriptor left even to count them: a reserve's worth goes back at once, and
        // the next count tells whether that was enough. Until then every other descriptor
        // counts as the program's, as the ones given back are low ones a new connection would
        // take.
        m_ownFiles = static_cast<int>(qMax<qint64>(0, fileLimit - openConnections()));
        m_cap = 0;
        excess = qMin(openConnections(), m_limits.reservedFiles);
    } else if (open >= 0) {
        m_ownFiles = qMax(0, open - openConnections());
        m_cap = capFor(m_limits, fileLimit, m_ownFiles);
        excess = openConnections() - m_cap;
    }
    // The limit was lowered, or the program's own files grew into the reserve: the backup,
    // the journal and the display come first, so connections make room for them, those that
    // wait for nothing before those that serve a page.
    if (excess > 0) {
        QList<LiveConnection*> victims(m_connections.cbegin(), m_connections.cend());
        std::stable_sort(victims.begin(), victims.end(),
                         [](const LiveConnection* a, const LiveConnection* b) {
                             return shedOrder(a->phase()) < shedOrder(b->phase());
                         });
        victims.resize(qMin<qsizetype>(excess, victims.size()));
        for (LiveConnection* connection : std::as_const(victims))
            connection->close();
    }
    if (m_acceptPaused && open >= 0 && open + m_limits.reservedFiles / 2 < fileLimit) {
        m_acceptPaused = false;
        resumeAccepting();
    }
}

void LiveTcpServer::sweep() {
    keepTheReserve();
    const bool busy = openConnections() * 2 > m_cap;
    const qint64 idleLimit = busy ? m_limits.busyIdleTimeoutMs : m_limits.idleTimeoutMs;
    QList<LiveConnection*> overdue;
    for (LiveConnection* connection : std::as_const(m_connections)) {
        const qint64 age = connection->phaseAgeMs();
        bool late = false;
        switch (connection->phase()) {
        case LiveConnection::Phase::Waiting:
            late = age > idleLimit;
            break;
        case LiveConnection::Phase::Reading:
            late = age > m_limits.requestTimeoutMs;
            break;
        case LiveConnection::Phase::Streaming:
            late = connection->stalled() && age > m_limits.stalledTimeoutMs;
            break;
        case LiveConnection::Phase::Answering:
        case LiveConnection::Phase::Closing:
            late = age >
                   (connection->stalled() ? m_limits.stalledTimeoutMs : m_limits.requestTimeoutMs);
            break;
        }
        if (late)
            overdue.append(connection);
    }
    for (LiveConnection* connection : overdue)
        connection->close();
}
