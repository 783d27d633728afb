#include "publish/MqttPublisher.h"

#include "publish/MqttClientSetup.h"
#include "publish/MqttStatusText.h"
#include "publish/MqttTopics.h"

#include <QDeadlineTimer>
#include <cerrno>
#include <chrono>
#include <mosquitto.h>

namespace {

constexpr int kQos = 1;

// Errors after which libmosquitto's thread stops instead of connecting again.
bool endsTheNetworkThread(int error) {
    switch (error) {
    case MOSQ_ERR_NOMEM:
    case MOSQ_ERR_PROTOCOL:
    case MOSQ_ERR_INVAL:
    case MOSQ_ERR_NOT_FOUND:
    case MOSQ_ERR_TLS:
    case MOSQ_ERR_TLS_HANDSHAKE:
    case MOSQ_ERR_PAYLOAD_SIZE:
    case MOSQ_ERR_NOT_SUPPORTED:
    case MOSQ_ERR_AUTH:
    case MOSQ_ERR_ACL_DENIED:
    case MOSQ_ERR_UNKNOWN:
    case MOSQ_ERR_EAI:
    case MOSQ_ERR_PROXY:
        return true;
    default:
        return false;
    }
}

} // namespace

MqttPublisher::MqttPublisher(MqttConnection connection, Source source, Now now, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)), m_source(std::move(source)),
      m_now(std::move(now)) {
    m_coalesce.setSingleShot(true);
    connect(&m_coalesce, &QTimer::timeout, this, &MqttPublisher::publishNow);
    m_restart.setSingleShot(true);
    connect(&m_restart, &QTimer::timeout, this, [this] { beginConnecting(false); });
}

MqttPublisher::~MqttPublisher() {
    shutdown();
}

void MqttPublisher::start() {
    if (m_started)
        return;
    MqttClientSetup::initLibrary();
    const QByteArray id = m_connection.clientId.toUtf8();
    // A clean session: what the broker is to keep is retained, and sent again on every connect.
    m_client = mosquitto_new(id.isEmpty() ? nullptr : id.constData(), true, this);
    if (!m_client) {
        setStatus(QStringLiteral("MQTT: kein Speicher für die Verbindung"));
        return;
    }
    m_started = true;
    mosquitto_connect_callback_set(m_client, &MqttPublisher::connectCallback);
    mosquitto_disconnect_callback_set(m_client, &MqttPublisher::disconnectCallback);
    mosquitto_reconnect_delay_set(m_client, reconnectDelayMinS, reconnectDelayMaxS, true);
    const QByteArray will = "offline";
    mosquitto_will_set(m_client, MqttTopics::statusTopic(m_connection.prefix).toUtf8().constData(),
                       int(will.size()), will.constData(), kQos, true);
    if (const QString refused = MqttClientSetup::configure(m_client, m_connection);
        !refused.isEmpty()) {
        setStatus(QStringLiteral("MQTT: ") + refused);
        return;
    }
    setStatus(MqttStatusText::connecting(m_connection.host, m_connection.port));
    beginConnecting(true);
}

void MqttPublisher::beginConnecting(bool first) {
    joinConnector();
    if (!first)
        mosquitto_loop_stop(m_client, true);
    const QByteArray host = m_connection.host.toUtf8();
    const int port = m_connection.port;
    const int keepAlive = m_connection.keepAliveSeconds;
    mosquitto* client = m_client;
    m_connector = std::thread([this, client, host, port, keepAlive, first] {
        const int error = first ? mosquitto_connect_async(client, host.constData(), port, keepAlive)
                                : mosquitto_reconnect_async(client);
        const int osError = errno;
        // The network thread tries again on its own after a failed first attempt too.
        mosquitto_loop_start(client);
        if (error != MOSQ_ERR_SUCCESS)
            QMetaObject::invokeMethod(
                this, [this, error, osError] { connectAttempted(error, osError); },
                Qt::QueuedConnection);
    });
}

void MqttPublisher::joinConnector() {
    if (m_connector.joinable())
        m_connector.join();
}

void MqttPublisher::connectCallback(mosquitto*, void* self, int code) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    QMetaObject::invokeMethod(
        publisher, [publisher, code] { publisher->connected(code); }, Qt::QueuedConnection);
}

void MqttPublisher::disconnectCallback(mosquitto*, void* self, int code) {
    const int osError = errno;
    auto* publisher = static_cast<MqttPublisher*>(self);
    publisher->m_closed = true;
    QMetaObject::invokeMethod(
        publisher, [publisher, code, osError] { publisher->disconnected(code, osError); },
        Qt::QueuedConnection);
}

void MqttPublisher::connectAttempted(int error, int osError) {
    if (!m_started || m_connected)
        return;
    setStatus(MqttStatusText::failed(error, osError, m_connection.host, m_connection.port));
}

void MqttPublisher::connected(int code) {
    if (!m_started)
        return;
    if (code != 0) {
        m_refused = true;
        setStatus(MqttStatusText::refused(code, m_connection.host, m_connection.port));
        return;
    }
    m_connected = true;
    m_refused = false;
    m_restartDelayS = reconnectDelayMinS;
    setStatus(MqttStatusText::connected(m_connection.host, m_connection.port));
    // A broker that restarted without keeping its retained messages gets all of them again.
    m_sent.clear();
    m_clockKnown = false;
    send(MqttTopics::statusTopic(m_connection.prefix), "online", true);
    publishNow();
}

void MqttPublisher::disconnected(int code, int osError) {
    if (!m_started)
        return;
    m_connected = false;
    m_sent.clear();
    if (!m_refused)
        setStatus(MqttStatusText::failed(code, osError, m_connection.host, m_connection.port));
    if (endsTheNetworkThread(code) && !m_restart.isActive()) {
        m_restart.start(m_restartDelayS * 1000);
        m_restartDelayS = qMin(m_restartDelayS * 2, reconnectDelayMaxS);
    }
}

void MqttPublisher::shutdown() {
    if (!m_started)
        return;
    m_started = false;
    m_coalesce.stop();
    m_restart.stop();
    joinConnector();
    if (m_connected) {
        m_closed = false;
        send(MqttTopics::statusTopic(m_connection.prefix), "offline", true);
        mosquitto_disconnect(m_client);
        // The thread writes what is queued, the goodbye last, and ends; a broker that stopped
        // reading does not hold up the exit for long.
        const QDeadlineTimer deadline(goodbyeMs);
        while (!m_closed && !deadline.hasExpired())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        mosquitto_loop_stop(m_client, !m_closed);
    } else {
        mosquitto_disconnect(m_client);
        mosquitto_loop_stop(m_client, true);
    }
    m_connected = false;
    mosquitto_destroy(m_client);
    m_client = nullptr;
    setStatus(QString());
}

void MqttPublisher::setStatus(const QString& text) {
    if (text == m_status)
        return;
    m_status = text;
    Q_EMIT statusChanged(m_status);
}

void MqttPublisher::sourceChanged(bool clock) {
    if (!m_connected)
        return;
    if (clock)
        QTimer::singleShot(0, this, &MqttPublisher::publishNow);
    else
        schedule();
}

void MqttPublisher::schedule() {
    if (m_coalesce.isActive())
        return;
    const qint64 since =
        m_lastPublish.isValid() ? m_lastPublish.elapsed() : qint64(minPublishIntervalMs);
    m_coalesce.start(static_cast<int>(qMax<qint64>(0, minPublishIntervalMs - since)));
}

void MqttPublisher::publishNow() {
    m_coalesce.stop();
    if (!m_connected)
        return;
    m_lastPublish.start();
    const LiveSnapshot snapshot = m_source();
    const double now = m_now();
    const QString& prefix = m_connection.prefix;
    if (m_clockKnown) {
        if (const auto event = MqttTopics::clockEvent(m_lastClock, snapshot.clock, now))
            send(MqttTopics::clockTopic(prefix), *event, false);
    }
    m_lastClock = snapshot.clock;
    m_clockKnown = true;
    const MqttTopics::Retained retained = MqttTopics::retained(snapshot, prefix, now);
    // A topic gone from the state (the cup closed, "Neue") is taken off the broker.
    for (auto it = m_sent.begin(); it != m_sent.end();) {
        if (!retained.payloads.contains(it.key()) && send(it.key(), QByteArray(), true))
            it = m_sent.erase(it);
        else
            ++it;
    }
    for (auto it = retained.payloads.cbegin(); it != retained.payloads.cend(); ++it) {
        const QByteArray compared = retained.compared(it.key());
        const auto sent = m_sent.constFind(it.key());
        if (sent != m_sent.cend() && *sent == compared)
            continue;
        if (send(it.key(), it.value(), true))
            m_sent.insert(it.key(), compared);
    }
}

bool MqttPublisher::send(const QString& topic, const QByteArray& payload, bool retain) {
    // Queued for the network thread; returns at once whatever the broker does.
    return mosquitto_publish(m_client, nullptr, topic.toUtf8().constData(), int(payload.size()),
                             payload.constData(), kQos, retain) == MOSQ_ERR_SUCCESS;
}
