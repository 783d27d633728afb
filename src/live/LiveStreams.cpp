#include "live/LiveStreams.h"

#include "live/Gzip.h"
#include "live/LiveConnection.h"

#include <QRandomGenerator>

namespace {

// Browsers that reconnect on their own wait this long, spread so that a venue's phones do not
// all come back in the same second.
constexpr int RetryMinMs = 2000;
constexpr int RetrySpreadMs = 3000;

} // namespace

LiveStreams::LiveStreams(LiveEventLog& log, const LiveLimits& limits,
                         std::function<double()> serverTimeMs, QObject* parent)
    : QObject(parent), m_log(log), m_limits(limits), m_serverTimeMs(std::move(serverTimeMs)) {}

bool LiveStreams::hasRoomFor(const QByteArray& addressKey) const {
    return count() < m_limits.maxStreams && countFrom(addressKey) < m_limits.maxStreamsPerAddress;
}

QByteArray LiveStreams::pingBytes() const {
    return "event: ping\ndata: {\"serverTimeMs\":" + QByteArray::number(m_serverTimeMs(), 'f', 0) +
           "}\n\n";
}

void LiveStreams::send(LiveConnection* connection, const Stream& stream, const QByteArray& plain) {
    const QByteArray bytes = stream.gzip ? Gzip::streamSegment(plain) : plain;
    m_bytesQueued += bytes.size();
    connection->send(bytes);
}

void LiveStreams::open(LiveConnection* connection, const QByteArray& head, bool gzip,
                       std::optional<qint64> since) {
    Stream stream;
    stream.addressKey = connection->addressKey();
    stream.gzip = gzip;
    connection->startStream(gzip ? head + Gzip::streamHeader() : head);
    const int retry =
        RetryMinMs + static_cast<int>(QRandomGenerator::global()->bounded(RetrySpreadMs));
    send(connection, stream, "retry: " + QByteArray::number(retry) + "\n\n");
    const std::optional<QList<LiveEventLog::EventPtr>> missed =
        since ? m_log.since(*since) : std::nullopt;
    if (missed) {
        for (const LiveEventLog::EventPtr& event : *missed) {
            m_bytesQueued += event->bytes(gzip).size();
            connection->send(event->bytes(gzip));
        }
    } else {
        const LiveEventLog::EventPtr state = m_log.stateEvent(m_serverTimeMs());
        m_bytesQueued += state->bytes(gzip).size();
        connection->send(state->bytes(gzip));
    }
    stream.version = m_log.version();
    send(connection, stream, pingBytes());
    m_streams.insert(connection, stream);
    ++m_perAddress[stream.addressKey];
    connect(connection, &LiveConnection::finished, this, &LiveStreams::forget);
    connect(connection, &LiveConnection::drained, this, &LiveStreams::catchUp);
}

void LiveStreams::forget(LiveConnection* connection) {
    const auto found = m_streams.constFind(connection);
    if (found == m_streams.cend())
        return;
    if (--m_perAddress[found->addressKey] <= 0)
        m_perAddress.remove(found->addressKey);
    m_streams.erase(found);
}

void LiveStreams::deliver(LiveConnection* connection, Stream& stream, const LiveEvent& event) {
    if (stream.behind)
        return;
    if (connection->queuedBytes() > m_limits.maxQueuedStreamBytes) {
        stream.behind = true;
        return;
    }
    m_bytesQueued += event.bytes(stream.gzip).size();
    connection->send(event.bytes(stream.gzip));
    stream.version = event.version();
}

void LiveStreams::broadcast(const LiveEventLog::EventPtr& event) {
    if (!event)
        return;
    for (auto it = m_streams.begin(); it != m_streams.end(); ++it)
        deliver(it.key(), it.value(), *event);
}

void LiveStreams::catchUp(LiveConnection* connection) {
    const auto found = m_streams.find(connection);
    if (found == m_streams.end() || !found->behind)
        return;
    Stream& stream = *found;
    stream.behind = false;
    const std::optional<QList<LiveEventLog::EventPtr>> missed = m_log.since(stream.version);
    if (!missed) {
        const LiveEventLog::EventPtr state = m_log.stateEvent(m_serverTimeMs());
        m_bytesQueued += state->bytes(stream.gzip).size();
        connection->send(state->bytes(stream.gzip));
        stream.version = state->version();
        return;
    }
    for (const LiveEventLog::EventPtr& event : *missed) {
        deliver(connection, stream, *event);
        if (stream.behind)
            return;
    }
}

void LiveStreams::ping() {
    if (m_streams.isEmpty())
        return;
    // One text and one compressed segment for every stream.
    const LiveEvent event(m_log.version(), pingBytes());
    for (auto it = m_streams.begin(); it != m_streams.end(); ++it) {
        if (it->behind || it.key()->queuedBytes() > m_limits.maxQueuedStreamBytes)
            continue;
        m_bytesQueued += event.bytes(it->gzip).size();
        it.key()->send(event.bytes(it->gzip));
    }
}

void LiveStreams::closeAll() {
    const QList<LiveConnection*> connections = m_streams.keys();
    for (LiveConnection* connection : connections)
        connection->close();
}
