#pragma once

#include "live/LiveEventLog.h"
#include "live/LiveLimits.h"
#include "live/LiveSnapshot.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <memory>

class LiveConnection;
class LiveStreams;
class LiveTcpServer;
class TickSource;
struct LiveRequest;

// The read-only web server of the live results: the pages and scripts built into the program,
// the whole state as JSON, the server's clock, and an event stream that carries each change to
// the open pages. Only GET of the known paths is answered; everything else is 404 (or 405 for
// other methods). Pages and JSON go compressed to clients that accept it, and unchanged ones
// are answered 304 by their tags. It lives on a thread of its own; nothing it does waits for a
// client.
class LiveHttpServer : public QObject {
    Q_OBJECT
public:
    static constexpr int pingIntervalMs = 5000;

    explicit LiveHttpServer(std::shared_ptr<const TickSource> ticks,
                            LiveLimits limits = LiveLimits(), QObject* parent = nullptr);
    ~LiveHttpServer() override;

    // Listens through the guarded socket; 0 when the port cannot be had, with the reason.
    quint16 listenOn(const QHostAddress& address, quint16 port, QString* error);

    // The new state: kept for the pages and the JSON, and its change sent on every stream.
    void publish(const LiveSnapshot& snapshot);
    int streamCount() const;
    int connectionCount() const;
    int connectionCap() const;

private:
    struct Body {
        QByteArray plain;
        QByteArray packed; // gzip, made when first asked for
        QByteArray etag;
        qint64 version = -1;
    };

    void handle(LiveConnection* connection, const LiveRequest& request);
    void answerBody(LiveConnection* connection, const LiveRequest& request, Body& body,
                    const QByteArray& type, const QByteArray& cacheControl);
    void answerText(LiveConnection* connection, const LiveRequest& request, int status,
                    const QByteArray& text, const QList<QPair<QByteArray, QByteArray>>& extra = {});
    void openStream(LiveConnection* connection, const LiveRequest& request);
    Body& renderedPage(const char* resource);
    double serverTimeMs() const;

    std::shared_ptr<const TickSource> m_ticks;
    LiveLimits m_limits;
    LiveTcpServer* m_tcp = nullptr;
    LiveEventLog m_log;
    LiveStreams* m_streams = nullptr;
    QHash<QByteArray, Body> m_bodies; // by resource name
    QTimer* m_ping = nullptr;         // a child, so it moves to the server's thread with it
};
