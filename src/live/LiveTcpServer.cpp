#include "live/LiveTcpServer.h"

#include <QTcpSocket>

namespace {

constexpr char StreamingProperty[] = "liveStreaming";
constexpr int SweepIntervalMs = 500;

bool isStreaming(const QTcpSocket* socket) {
    return socket->property(StreamingProperty).toBool();
}

} // namespace

LiveTcpServer::LiveTcpServer(Limits limits, QObject* parent)
    : QTcpServer(parent), m_limits(limits) {
    m_sweep = new QTimer(this);
    m_sweep->setInterval(SweepIntervalMs);
    connect(m_sweep, &QTimer::timeout, this, &LiveTcpServer::sweep);
    m_sweep->start();
}

void LiveTcpServer::markStreaming(QTcpSocket* socket) {
    socket->setProperty(StreamingProperty, true);
}

void LiveTcpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (openConnections() >= m_limits.maxConnections) {
        socket->write("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n"
                      "Connection: close\r\n\r\n");
        socket->disconnectFromHost();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        return;
    }
    Connection& connection = m_connections[socket];
    connection.since.start();
    // Connected before the HTTP server's own handler, so an oversized request is taken out
    // of the socket before that handler parses it.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { inspect(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        m_connections.remove(socket);
        socket->deleteLater();
    });
    addPendingConnection(socket);
}

void LiveTcpServer::inspect(QTcpSocket* socket) {
    auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    Connection& connection = *found;
    const bool wasIdle = connection.pendingBytes == 0;
    const QByteArray fresh = socket->peek(socket->bytesAvailable());
    // Each request is measured from the end of the one before to the end of its own head;
    // the bytes after the last head end (an unfinished head, or a body) count as well.
    const QByteArray window = connection.tail + fresh;
    qint64 before = connection.pendingBytes - connection.tail.size();
    bool tooLarge = false;
    for (qsizetype from = 0;;) {
        const qsizetype headEnd = window.indexOf("\r\n\r\n", from);
        if (headEnd < 0)
            break;
        tooLarge = tooLarge || before + headEnd + 4 > m_limits.maxRequestBytes;
        before = -(headEnd + 4);
        from = headEnd + 4;
    }
    connection.pendingBytes = before + window.size();
    connection.tail = window.right(3);
    // The clock measures a request from its first byte, and idleness from a request's end.
    if (wasIdle || connection.pendingBytes == 0)
        connection.since.start();
    if (tooLarge || connection.pendingBytes > m_limits.maxRequestBytes)
        refuse(socket, "HTTP/1.1 413 Payload Too Large");
}

void LiveTcpServer::refuse(QTcpSocket* socket, const QByteArray& statusLine) {
    m_connections.remove(socket);
    socket->readAll();
    socket->write(statusLine + "\r\nContent-Type: text/plain; charset=utf-8\r\n"
                               "Content-Length: 0\r\nConnection: close\r\n\r\n");
    socket->disconnectFromHost();
}

void LiveTcpServer::sweep() {
    QList<QTcpSocket*> overdue;
    for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
        if (isStreaming(it.key()))
            continue;
        const qint64 age = it->since.elapsed();
        if ((it->pendingBytes > 0 && age > m_limits.requestTimeoutMs) ||
            age > m_limits.idleTimeoutMs)
            overdue.append(it.key());
    }
    for (QTcpSocket* socket : overdue) {
        m_connections.remove(socket);
        socket->abort();
        socket->deleteLater();
    }
}
