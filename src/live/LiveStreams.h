#pragma once

#include "live/LiveEventLog.h"
#include "live/LiveLimits.h"

#include <QHash>
#include <QObject>
#include <functional>
#include <optional>

class LiveConnection;

// The open event streams. Every change goes to each stream as the same shared bytes; a stream
// whose client lags gets nothing more until it has taken what waits, and then catches up from
// the kept changes or with the whole state, so a slow phone costs the server a bounded queue
// and still ends up current.
class LiveStreams : public QObject {
    Q_OBJECT
public:
    LiveStreams(LiveEventLog& log, const LiveLimits& limits, std::function<double()> serverTimeMs,
                QObject* parent = nullptr);

    int count() const { return static_cast<int>(m_streams.size()); }
    int countFrom(const QByteArray& addressKey) const { return m_perAddress.value(addressKey); }
    bool hasRoomFor(const QByteArray& addressKey) const;
    // Turns the connection into a stream: the head, then what the page lacks (the changes after
    // the version it names, or the whole state), then the server's time.
    void open(LiveConnection* connection, const QByteArray& head, bool gzip,
              std::optional<qint64> since);
    void broadcast(const LiveEventLog::EventPtr& event);
    void ping();
    void closeAll();
    // Bytes of events handed to the streams' queues, for the benchmark's record.
    qint64 bytesQueued() const { return m_bytesQueued; }

private:
    struct Stream {
        QByteArray addressKey;
        bool gzip = false;
        qint64 version = 0;
        bool behind = false;
    };

    void deliver(LiveConnection* connection, Stream& stream, const LiveEvent& event);
    void catchUp(LiveConnection* connection);
    void send(LiveConnection* connection, const Stream& stream, const QByteArray& plain);
    void forget(LiveConnection* connection);
    QByteArray pingBytes() const;

    LiveEventLog& m_log;
    LiveLimits m_limits;
    std::function<double()> m_serverTimeMs;
    QHash<LiveConnection*, Stream> m_streams;
    QHash<QByteArray, int> m_perAddress;
    qint64 m_bytesQueued = 0;
};
