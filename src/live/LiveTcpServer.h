#pragma once

#include "live/LiveLimits.h"

#include <QHash>
#include <QHostAddress>
#include <QSet>
#include <QTcpServer>

class LiveConnection;
class QTimer;
struct LiveRequest;

// The listening socket of the live server and the connections it holds. It never takes the
// program's last file descriptors: the number of connections is capped below the open-file
// limit less a reserve, and a connection beyond the cap, beyond the limit for its address or
// on a descriptor too close to the limit is told 503 in one write and closed at once, before
// anything is built for it. A sweep closes connections that hold a slot without using it.
class LiveTcpServer : public QTcpServer {
    Q_OBJECT
public:
    using Limits = LiveLimits;

    explicit LiveTcpServer(Limits limits, QObject* parent = nullptr);
    explicit LiveTcpServer(QObject* parent = nullptr) : LiveTcpServer(Limits(), parent) {}
    ~LiveTcpServer() override;

    // Listens and fixes the connection cap from the open-file limit and the descriptors open
    // now; false with the reason when the address or port cannot be had.
    bool listenOn(const QHostAddress& address, quint16 port, QString* error);

    int openConnections() const { return static_cast<int>(m_connections.size()); }
    int connectionCap() const { return m_cap; }
    const Limits& limits() const { return m_limits; }
    // Clients are counted per address; IPv6 clients per /64 network, as one host may hold a
    // whole one.
    static QByteArray addressKey(const QHostAddress& address);
    // The connection cap for an open-file limit with this many descriptors already open.
    static int capFor(const Limits& limits, qint64 fileLimit, int openFiles);

Q_SIGNALS:
    void requestReceived(LiveConnection* connection, const LiveRequest& request);
    void connectionFinished(LiveConnection* connection);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void refuseAtOnce(qintptr descriptor);
    void forget(LiveConnection* connection);
    void sweep();

    Limits m_limits;
    int m_cap = 0;
    qint64 m_descriptorCeiling = 0;
    QSet<LiveConnection*> m_connections;
    QHash<QByteArray, int> m_perAddress;
    QTimer* m_sweep = nullptr; // a child, so it moves to the server's thread with it
};
