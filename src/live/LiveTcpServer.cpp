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
    m_sweep.setInterval(SweepIntervalMs);
    connect(&m_sweep, &QTimer::timeout, this, &LiveTcpServer::sweep);
    m_sweep.start();
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
    // Only the bytes after the last complete request head count against the limit.
    const QByteArray window = connection.tail + fresh;
    const qsizetype headEnd = window.lastIndexOf("\r\n\r\n");
    if (headEnd >= 0)
        connection.pendingBytes = window.size() - (headEnd + 4);
    else
        connection.pendingBytes += fresh.size();
    connection.tail = window.right(3);
    // The clock measures a request from its first byte, and idleness from a request's end.
    if (wasIdle || connection.pendingBytes == 0)
        connection.since.start();
    if (connection.pendingBytes > m_limits.maxRequestBytes)
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
