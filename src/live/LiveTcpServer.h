#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;

// The listening socket of the live server, with the limits that keep a careless or hostile
// client from tying it up: a request (head and body) larger than a small limit is refused with
// 413 before it is parsed, a request that dribbles in too slowly is cut off, idle connections
// are closed, and connections beyond a maximum get 503. Event streams are exempt from the
// idle rule once the server marks them.
class LiveTcpServer : public QTcpServer {
    Q_OBJECT
public:
    struct Limits {
        qint64 maxRequestBytes = 8 * 1024;
        int maxConnections = 1024;
        int requestTimeoutMs = 10000;
        int idleTimeoutMs = 60000;
    };

    explicit LiveTcpServer(Limits limits, QObject* parent = nullptr);
    explicit LiveTcpServer(QObject* parent = nullptr) : LiveTcpServer(Limits(), parent) {}

    // The connection carries an event stream now: no request timeouts, no idle closing.
    static void markStreaming(QTcpSocket* socket);
    int openConnections() const { return static_cast<int>(m_connections.size()); }
    const Limits& limits() const { return m_limits; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Connection {
        qint64 pendingBytes = 0; // since the end of the last request head
        QByteArray tail;         // the last bytes seen, for a head end split across reads
        QElapsedTimer since;     // start of the pending request, or of idleness
    };

    void inspect(QTcpSocket* socket);
    void refuse(QTcpSocket* socket, const QByteArray& statusLine);
    void sweep();

    Limits m_limits;
    QHash<QTcpSocket*, Connection> m_connections;
    QTimer* m_sweep = nullptr; // a child, so it moves to the server's thread with it
};
