#pragma once

#include "live/LiveSnapshot.h"
#include "live/LiveTcpServer.h"

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QPointer>
#include <QTimer>
#include <memory>

class QTcpSocket;
class TickSource;

// The read-only web server of the live results: the pages and scripts built into the program,
// the whole state as JSON, and an event stream that carries every new state to the open pages.
// Only GET of the known paths is answered; everything else is 404 (or 405 for other methods).
// It lives on a thread of its own; nothing it does waits for a client.
class LiveHttpServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    // A stream whose client has not taken this much is dropped; its page connects again.
    static constexpr qint64 maxQueuedStreamBytes = 4 * 1024 * 1024;
    static constexpr int pingIntervalMs = 5000;
    static constexpr int maxStreams = 800;

    explicit LiveHttpServer(std::shared_ptr<const TickSource> ticks,
                            LiveTcpServer::Limits limits = LiveTcpServer::Limits(),
                            QObject* parent = nullptr);
    ~LiveHttpServer() override;

    // Listens through the guarded socket; 0 when the port cannot be had, with the reason.
    quint16 listenOn(const QHostAddress& address, quint16 port, QString* error);

    // The new state: kept for the pages and the JSON, and sent on every open stream.
    void publish(const LiveSnapshot& snapshot);
    int streamCount() const { return static_cast<int>(m_streams.size()); }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    void openStream(QTcpSocket* socket);
    void sendToStreams(const QByteArray& event);
    void ping();
    QByteArray stateEvent() const;
    double serverTimeMs() const;
    QByteArray resource(const QString& name) const;

    std::shared_ptr<const TickSource> m_ticks;
    LiveTcpServer* m_tcp = nullptr;
    LiveSnapshot m_snapshot;
    QByteArray m_state;
    QList<QPointer<QTcpSocket>> m_streams;
    QTimer* m_ping = nullptr; // a child, so it moves to the server's thread with it
};
