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
// limit less a reserve for the program's own files (backup, journal, display, dialogs), worked
// out again at every connection and every sweep, so a limit lowered while the program runs or
// own files that grow shrink the cap at once. A connection beyond the cap or beyond the limit
// for its address is told 503 in one write and closed at once, before anything is built for
// it. A sweep closes connections that hold a slot without using it, and as many as the
// program's own files need when the reserve has been eaten into.
class LiveTcpServer : public QTcpServer {
    Q_OBJECT
public:
    using Limits = LiveLimits;

    explicit LiveTcpServer(Limits limits, QObject* parent = nullptr);
    explicit LiveTcpServer(QObject* parent = nullptr) : LiveTcpServer(Limits(), parent) {}
    ~LiveTcpServer() override;

    // Listens, with a first connection cap from the open-file limit and the descriptors open
    // now; false with the reason when the address or port cannot be had.
    bool listenOn(const QHostAddress& address, quint16 port, QString* error);

    int openConnections() const { return static_cast<int>(m_connections.size()); }
    // The connection cap as last worked out.
    int connectionCap() const { return m_cap; }
    const Limits& limits() const { return m_limits; }
    // The key a client is counted under, given the server's own end of its connection. Clients
    // are counted per address. A host on the internet may hold a whole IPv6 /64 network and
    // take a new address for every connection, so a global IPv6 address from another network
    // counts for its /64. Phones on the venue's Wi-Fi share one /64 with each other and with
    // this machine, and their private (fc00::/7) and link-local (fe80::/10) addresses come from
    // no one else: those count one by one.
    static QByteArray addressKey(const QHostAddress& peer, const QHostAddress& local = {});
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
    void keepTheReserve();
    void sweep();

    Limits m_limits;
    int m_cap = 0;
    // Descriptors the program holds besides these connections, as last counted.
    int m_ownFiles = 0;
    bool m_acceptPaused = false;
    QSet<LiveConnection*> m_connections;
    QHash<QByteArray, int> m_perAddress;
    QTimer* m_sweep = nullptr; // a child, so it moves to the server's thread with it
};
