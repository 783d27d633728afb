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
constexpr int AcceptPauseMs = 500;
constexpr int ListenBacklog = 1024;
constexpr char Refusal[] = "HTTP/1.1 503 Service Unavailable\r\nRetry-After: 3\r\n"
                           "Content-Type: text/plain; charset=utf-8\r\nContent-Length: 0\r\n"
                           "Connection: close\r\n\r\n";

QHostAddress peerOf(qintptr descriptor) {
    sockaddr_storage peer{};
    socklen_t length = sizeof(peer);
    // The socket API's address types are a family of structs reached through casts.
    auto* address = reinterpret_cast<sockaddr*>(&peer);
    if (getpeername(static_cast<int>(descriptor), address, &length) != 0)
        return {};
    return QHostAddress(address);
}

} // namespace

LiveTcpServer::LiveTcpServer(Limits limits, QObject* parent)
    : QTcpServer(parent), m_limits(limits), m_cap(limits.maxConnections) {
    m_sweep = new QTimer(this);
    m_sweep->setInterval(SweepIntervalMs);
    connect(m_sweep, &QTimer::timeout, this, &LiveTcpServer::sweep);
    m_sweep->start();
    // Should accepting fail for want of descriptors after all, it pauses instead of spinning.
    connect(this, &QTcpServer::acceptError, this, [this] {
        pauseAccepting();
        QTimer::singleShot(AcceptPauseMs, this, [this] { resumeAccepting(); });
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
    const qint64 fileLimit = OpenFileLimit::soft();
    m_cap = capFor(m_limits, fileLimit, OpenFileLimit::openCount());
    // Descriptors are handed out lowest first: a new one this high means the reserve is
    // nearly used up, whoever holds the others.
    m_descriptorCeiling = fileLimit - m_limits.reservedFiles / 2;
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

QByteArray LiveTcpServer::addressKey(const QHostAddress& address) {
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    if (mapped)
        return QHostAddress(v4).toString().toLatin1();
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        Q_IPV6ADDR bytes = address.toIPv6Address();
        for (int i = 8; i < 16; ++i)
            bytes[i] = 0;
        return QHostAddress(bytes).toString().toLatin1() + "/64";
    }
    return address.toString().toLatin1();
}

void LiveTcpServer::refuseAtOnce(qintptr descriptor) {
    const int fd = static_cast<int>(descriptor);
    // One try, never waiting: a client that cannot take these few bytes learns it from the close.
    const ssize_t sent = ::send(fd, Refusal, sizeof(Refusal) - 1, MSG_DONTWAIT | MSG_NOSIGNAL);
    Q_UNUSED(sent);
    ::close(fd);
}

void LiveTcpServer::incomingConnection(qintptr descriptor) {
    const QByteArray key = addressKey(peerOf(descriptor));
    if (openConnections() >= m_cap || descriptor >= m_descriptorCeiling ||
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

void LiveTcpServer::sweep() {
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
