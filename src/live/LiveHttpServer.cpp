#include "live/LiveHttpServer.h"

#include "live/LivePageRenderer.h"
#include "live/LiveStateDocument.h"
#include "timing/TickSource.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpSocket>

namespace {

using Status = QHttpServerResponder::StatusCode;

enum class Kind { Rendered, Static, State, Events };

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
    {"/live.css", "live.css", "text/css; charset=utf-8", Kind::Static},
    {"/overlay.css", "overlay.css", "text/css; charset=utf-8", Kind::Static},
    {"/api/state.json", nullptr, "application/json", Kind::State},
    {"/events", nullptr, "text/event-stream; charset=utf-8", Kind::Events},
};

// Pages and scripts come only from the program itself; the browser is told so too.
constexpr char Policy[] = "default-src 'none'; script-src 'self'; style-src 'self'; "
                          "connect-src 'self'; img-src 'self' data:; base-uri 'none'; "
                          "form-action 'none'; frame-ancestors *";

const Route* routeFor(const QHttpServerRequest& request) {
    // Compared as sent, still encoded: "%2e%2e", "..", doubled slashes and anything else
    // that is not exactly one of the paths is unknown.
    const QString path = request.url().path(QUrl::FullyEncoded);
    for (const Route& route : Routes) {
        if (path == QLatin1String(route.path))
            return &route;
    }
    return nullptr;
}

void answer(QHttpServerResponder responder, const QByteArray& body, const QByteArray& type,
            Status status) {
    responder.write(body,
                    {{"Content-Type", type},
                     {"Cache-Control", "no-store"},
                     {"X-Content-Type-Options", "nosniff"},
                     {"Referrer-Policy", "no-referrer"},
                     {"Content-Security-Policy", Policy}},
                    status);
}

} // namespace

LiveHttpServer::LiveHttpServer(std::shared_ptr<const TickSource> ticks,
                               LiveTcpServer::Limits limits, QObject* parent)
    : QAbstractHttpServer(parent), m_ticks(std::move(ticks)) {
    m_tcp = new LiveTcpServer(limits, this);
    m_state = LiveStateDocument::stateBytes(m_snapshot);
    m_ping = new QTimer(this);
    m_ping->setInterval(pingIntervalMs);
    connect(m_ping, &QTimer::timeout, this, &LiveHttpServer::ping);
    m_ping->start();
}

LiveHttpServer::~LiveHttpServer() {
    for (const QPointer<QTcpSocket>& stream : std::as_const(m_streams)) {
        if (stream)
            stream->abort();
    }
}

quint16 LiveHttpServer::listenOn(const QHostAddress& address, quint16 port, QString* error) {
    if (!m_tcp->listen(address, port)) {
        if (error)
            *error = m_tcp->errorString();
        return 0;
    }
    bind(m_tcp);
    return m_tcp->serverPort();
}

double LiveHttpServer::serverTimeMs() const {
    return static_cast<double>(m_ticks->nowMicroseconds()) / 1000.0;
}

QByteArray LiveHttpServer::resource(const QString& name) const {
    QFile file(QStringLiteral(":/live/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray LiveHttpServer::stateEvent() const {
    return "event: state\ndata: " + LiveStateDocument::envelope(m_state, serverTimeMs()) + "\n\n";
}

void LiveHttpServer::publish(const LiveSnapshot& snapshot) {
    if (snapshot == m_snapshot)
        return;
    m_snapshot = snapshot;
    m_state = LiveStateDocument::stateBytes(m_snapshot);
    sendToStreams(stateEvent());
}

bool LiveHttpServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    const Route* route = routeFor(request);
    if (!route)
        return false;
    if (request.method() != QHttpServerRequest::Method::Get) {
        QHttpServerResponder responder = makeResponder(request, socket);
        responder.write(QByteArray("Nur GET\n"),
                        {{"Content-Type", "text/plain; charset=utf-8"}, {"Allow", "GET"}},
                        Status::MethodNotAllowed);
        return true;
    }
    switch (route->kind) {
    case Kind::Rendered:
        answer(makeResponder(request, socket),
               LivePageRenderer::render(resource(QLatin1String(route->resource)), m_snapshot),
               route->type, Status::Ok);
        break;
    case Kind::Static:
        answer(makeResponder(request, socket), resource(QLatin1String(route->resource)),
               route->type, Status::Ok);
        break;
    case Kind::State:
        answer(makeResponder(request, socket), LiveStateDocument::envelope(m_state, serverTimeMs()),
               route->type, Status::Ok);
        break;
    case Kind::Events:
        if (streamCount() >= maxStreams)
            answer(makeResponder(request, socket), "Zu viele Verbindungen\n",
                   "text/plain; charset=utf-8", Status::ServiceUnavailable);
        else
            openStream(socket);
        break;
    }
    return true;
}

void LiveHttpServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    answer(makeResponder(request, socket), "Nicht gefunden\n", "text/plain; charset=utf-8",
           Status::NotFound);
}

void LiveHttpServer::openStream(QTcpSocket* socket) {
    LiveTcpServer::markStreaming(socket);
    // The head is written by hand: a stream has no length and stays open.
    socket->write("HTTP/1.1 200 OK\r\n"
                  "Content-Type: text/event-stream; charset=utf-8\r\n"
                  "Cache-Control: no-store\r\n"
                  "X-Content-Type-Options: nosniff\r\n"
                  "Connection: keep-alive\r\n\r\n"
                  "retry: 2000\n\n");
    socket->write(stateEvent());
    m_streams.append(socket);
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        m_streams.removeIf([socket](const QPointer<QTcpSocket>& s) { return !s || s == socket; });
    });
}

void LiveHttpServer::sendToStreams(const QByteArray& event) {
    QList<QPointer<QTcpSocket>> slow;
    for (const QPointer<QTcpSocket>& stream : std::as_const(m_streams)) {
        if (!stream)
            continue;
        if (stream->bytesToWrite() > maxQueuedStreamBytes)
            slow.append(stream);
        else
            stream->write(event);
    }
    for (const QPointer<QTcpSocket>& stream : slow) {
        if (stream)
            stream->abort();
    }
    m_streams.removeIf([](const QPointer<QTcpSocket>& s) { return !s; });
}

void LiveHttpServer::ping() {
    sendToStreams("event: ping\ndata: {\"serverTimeMs\":" +
                  QByteArray::number(serverTimeMs(), 'f', 0) + "}\n\n");
}
