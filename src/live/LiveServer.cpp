#include "live/LiveServer.h"

#include "live/LiveHttpServer.h"

#include <QPointer>

LiveServer::LiveServer(std::shared_ptr<const TickSource> ticks, QObject* parent)
    : QObject(parent), m_ticks(std::move(ticks)) {
    m_thread.setObjectName(QStringLiteral("LiveServer"));
}

LiveServer::~LiveServer() {
    stop();
}

void LiveServer::start(quint16 port, const QHostAddress& address, LiveLimits limits) {
    stop();
    m_thread.start();
    m_http = new LiveHttpServer(m_ticks, limits);
    m_http->moveToThread(&m_thread);
    LiveHttpServer* http = m_http;
    QPointer<LiveServer> self(this);
    const std::shared_ptr<LiveSnapshot> latest = m_latest;
    QMetaObject::invokeMethod(
        http,
        [self, http, port, address, latest] {
            if (latest)
                http->publish(*latest);
            QString error;
            const quint16 bound = http->listenOn(address, port, &error);
            const int cap = http->connectionCap();
            // Queued back to the window's thread.
            QMetaObject::invokeMethod(self, [self, bound, cap, error] {
                if (!self)
                    return;
                if (bound != 0)
                    Q_EMIT self->started(bound, cap);
                else {
                    self->stop();
                    Q_EMIT self->failed(error);
                }
            });
        },
        Qt::QueuedConnection);
}

void LiveServer::stop() {
    if (!m_http)
        return;
    // Deleted on its own thread, which then ends; only then may the thread object go.
    LiveHttpServer* http = m_http;
    m_http = nullptr;
    QMetaObject::invokeMethod(
        http, [http] { delete http; }, Qt::QueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void LiveServer::publish(const LiveSnapshot& snapshot) {
    m_latest = std::make_shared<LiveSnapshot>(snapshot);
    if (!m_http)
        return;
    LiveHttpServer* http = m_http;
    const std::shared_ptr<LiveSnapshot> latest = m_latest;
    QMetaObject::invokeMethod(
        http, [http, latest] { http->publish(*latest); }, Qt::QueuedConnection);
}
