#include "live/LiveHttpServer.h"

#include "live/Gzip.h"
#include "live/LiveConnection.h"
#include "live/LivePageRenderer.h"
#include "live/LiveRequest.h"
#include "live/LiveResponse.h"
#include "live/LiveStateDocument.h"
#include "live/LiveStreams.h"
#include "live/LiveTcpServer.h"
#include "timing/TickSource.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

enum class Kind { Rendered, Static, State, Time, Events };

struct Route {
    const char* path;
    const char* resource;
    const char* type;
    Kind kind;
};

constexpr Route Routes[] = {
    {"/", "index.html", "text/html; charset=utf-8", Kind::Rendered},
    {"/index.html", "index.html", "text/html; charset=utf-8", Kind::Rendered},
    {"/zeit.html", "zeit.html", "text/html; charset=utf-8", Kind::Rendered},
    {"/top3.html", "top3.html", "text/html; charset=utf-8", Kind::Rendered},
    {"/live.js", "live.js", "text/javascript; charset=utf-8", Kind::Static},
    {"/mqtt.js", "mqtt.js", "text/javascript; charset=utf-8", Kind::Static},
    {"/live.css", "live.css", "text/css; charset=utf-8", Kind::Static},
    {"/overlay.css", "overlay.css", "text/css; charset=utf-8", Kind::Static},
    {"/api/state.json", nullptr, "application/json", Kind::State},
    {"/api/time", nullptr, "application/json", Kind::Time},
    {"/events", nullptr, "text/event-stream; charset=utf-8", Kind::Events},
};

// Pages and scripts come only from the program itself; the browser is told so too.
constexpr char Policy[] = "default-src 'none'; script-src 'self'; style-src 'self'; "
                          "connect-src 'self'; img-src 'self' data:; base-uri 'none'; "
                          "form-action 'none'; frame-ancestors *";
// Below this an answer is sent as it is: compressing it would save less than the fields cost.
constexpr qsizetype CompressFrom = 512;
constexpr char RetryAfterSeconds[] = "3";

const Route* routeFor(const QByteArray& path) {
    // Compared as sent, still encoded: "%2e%2e", "..", doubled slashes and anything else
    // that is not exactly one of the paths is unknown.
    for (const Route& route : Routes) {
        if (path == route.path)
            return &route;
    }
    return nullptr;
}

QByteArray resourceBytes(const char* name) {
    QFile file(QStringLiteral(":/live/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray contentTag(const QByteArray& bytes) {
    return '"' + QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(20) + '"';
}

} // namespace

LiveHttpServer::LiveHttpServer(std::shared_ptr<const TickSource> ticks, LiveLimits limits,
                               QObject* parent)
    : QObject(parent), m_ticks(std::move(ticks)), m_limits(limits) {
    m_tcp = new LiveTcpServer(limits, this);
    connect(m_tcp, &LiveTcpServer::requestReceived, this, &LiveHttpServer::handle);
    m_streams = new LiveStreams(
        m_log, limits, [this] { return serverTimeMs(); }, this);
    for (const Route& route : Routes) {
        if (route.kind != Kind::Static)
            continue;
        Body& body = m_bodies[route.resource];
        body.plain = resourceBytes(route.resource);
        body.etag = contentTag(body.plain);
    }
    m_ping = new QTimer(this);
    m_ping->setInterval(pingIntervalMs);
    connect(m_ping, &QTimer::timeout, m_streams, &LiveStreams::ping);
    m_ping->start();
}

LiveHttpServer::~LiveHttpServer() {
    m_streams->closeAll();
}

quint16 LiveHttpServer::listenOn(const QHostAddress& address, quint16 port, QString* error) {
    return m_tcp->listenOn(address, port, error) ? m_tcp->serverPort() : 0;
}

int LiveHttpServer::streamCount() const {
    return m_streams->count();
}

int LiveHttpServer::connectionCount() const {
    return m_tcp->openConnections();
}

int LiveHttpServer::connectionCap() const {
    return m_tcp->connectionCap();
}

double LiveHttpServer::serverTimeMs() const {
    return static_cast<double>(m_ticks->nowMicroseconds()) / 1000.0;
}

void LiveHttpServer::publish(const LiveSnapshot& snapshot) {
    m_streams->broadcast(m_log.publish(snapshot, serverTimeMs()));
}

void LiveHttpServer::answerText(LiveConnection* connection, const LiveRequest& request, int status,
                                const QByteArray& text,
                                const QList<QPair<QByteArray, QByteArray>>& extra) {
    LiveResponse::Fields fields{{"Content-Type", "text/plain; charset=utf-8"},
                                {"Cache-Control", "no-store"}};
    fields += extra;
    // A refused request may leave bytes behind that are no request; a missing page does not.
    const bool close =
        request.closesAfterAnswer() || (status >= 400 && status != 404 && status != 405);
    connection->answer(LiveResponse::build(status, fields, text, close), close);
}

void LiveHttpServer::answerBody(LiveConnection* connection, const LiveRequest& request, Body& body,
                                const QByteArray& type, const QByteArray& cacheControl) {
    const bool close = request.closesAfterAnswer();
    LiveResponse::Fields fields{{"Content-Type", type},
                                {"Cache-Control", cacheControl},
                                {"ETag", body.etag},
                                {"Vary", "Accept-Encoding"}};
    if (type.startsWith("text/html"))
        fields.append(qMakePair(QByteArray("Content-Security-Policy"), QByteArray(Policy)));
    if (LiveResponse::matches(request.header("if-none-match"), body.etag)) {
        connection->answer(LiveResponse::build(304, fields, {}, close), close);
        return;
    }
    const bool gzip =
        body.plain.size() >= CompressFrom && Gzip::accepted(request.header("accept-encoding"));
    if (gzip && body.packed.isEmpty())
        body.packed = Gzip::compress(body.plain);
    if (gzip && !body.packed.isEmpty()) {
        fields.append(qMakePair(QByteArray("Content-Encoding"), QByteArray("gzip")));
        connection->answer(LiveResponse::build(200, fields, body.packed, close), close);
        return;
    }
    connection->answer(LiveResponse::build(200, fields, body.plain, close), close);
}

LiveHttpServer::Body& LiveHttpServer::renderedPage(const char* resource) {
    Body& body = m_bodies[QByteArray("rendered:") + resource];
    if (body.version != m_log.version() || body.plain.isEmpty()) {
        body.plain = LivePageRenderer::render(resourceBytes(resource), m_log.snapshot());
        body.packed.clear();
        body.etag = '"' + m_log.id() + '-' + resource + '"';
        body.version = m_log.version();
    }
    return body;
}

void LiveHttpServer::handle(LiveConnection* connection, const LiveRequest& request) {
    const QByteArray upgrade = request.header("upgrade").toLower();
    // Only WebSocket is refused; other upgrades are ignored, as HTTP lets a server do.
    if (upgrade.contains("websocket")) {
        answerText(connection, request, 400, "Kein WebSocket: die Seiten nutzen /events\n");
        return;
    }
    const QByteArray expect = request.header("expect").toLower();
    if (!expect.isEmpty() && expect != "100-continue") {
        answerText(connection, request, 417, "Erwartung nicht erfüllbar\n");
        return;
    }
    const Route* route = routeFor(request.path);
    if (!route) {
        answerText(connection, request, 404, "Nicht gefunden\n");
        return;
    }
    // A body announced with "Expect: 100-continue" is never asked for: the final answer comes
    // at once, and the connection closes after it.
    if (request.method != "GET") {
        answerText(connection, request, 405, "Nur GET\n", {{"Allow", "GET"}});
        return;
    }
    switch (route->kind) {
    case Kind::Rendered:
        answerBody(connection, request, renderedPage(route->resource), route->type, "no-cache");
        break;
    case Kind::Static:
        answerBody(connection, request, m_bodies[route->resource], route->type, "no-cache");
        break;
    case Kind::State: {
        Body body;
        body.plain = LiveStateDocument::envelope(m_log.stateBytes(), serverTimeMs(), m_log.epoch(),
                                                 m_log.version());
        body.etag = "W/\"" + m_log.id() + '"';
        answerBody(connection, request, body, route->type, "no-cache");
        break;
    }
    case Kind::Time: {
        const bool close = request.closesAfterAnswer();
        const QByteArray now =
            "{\"serverTimeMs\":" + QByteArray::number(serverTimeMs(), 'f', 3) + '}';
        connection->answer(
            LiveResponse::build(200, {{"Content-Type", route->type}, {"Cache-Control", "no-store"}},
                                now, close),
            close);
        break;
    }
    case Kind::Events:
        openStream(connection, request);
        break;
    }
}

void LiveHttpServer::openStream(LiveConnection* connection, const LiveRequest& request) {
    if (!m_streams->hasRoomFor(connection->addressKey())) {
        answerText(connection, request, 503, "Zu viele Verbindungen\n",
                   {{"Retry-After", RetryAfterSeconds}});
        return;
    }
    // The id of the last event a page got: from the browser's own reconnection, or from a
    // page that connects again by itself.
    QByteArray last = request.header("last-event-id");
    if (const std::optional<QByteArray> since = request.queryValue("since"))
        last = *since;
    const bool gzip = Gzip::accepted(request.header("accept-encoding"));
    QByteArray head = "HTTP/1.1 200 OK\r\n"
                      "Content-Type: text/event-stream; charset=utf-8\r\n"
                      "Cache-Control: no-store\r\n"
                      "X-Content-Type-Options: nosniff\r\n"
                      "Connection: keep-alive\r\n";
    if (gzip)
        head += "Content-Encoding: gzip\r\nVary: Accept-Encoding\r\n";
    head += "\r\n";
    m_streams->open(connection, head, gzip, m_log.versionOf(last));
}
