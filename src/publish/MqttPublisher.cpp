#include "publish/MqttPublisher.h"

#include "publish/MqttClientSetup.h"
#include "publish/MqttStatusText.h"
#include "publish/MqttTopics.h"

#include <QDeadlineTimer>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mosquitto.h>
#include <mutex>
#include <vector>

struct MqttPublisher::Link {
    // Guards publisher and stopping: a callback posts to the publisher only while it is alive.
    std::mutex mutex;
    MqttPublisher* publisher = nullptr;
    bool stopping = false;
    // Wakes the network thread from its pause between attempts when it is to end.
    std::condition_variable wake;
    // Set by the network thread once the connection is closed, the goodbye written.
    std::atomic<bool> closed = false;
    // The pause before the next attempt; back to the shortest once the broker took us.
    std::atomic<int> delayS = MqttPublisher::reconnectDelayMinS;

    // Calls call(publisher) on the publisher's thread, unless it is gone.
    template <typename F> void post(F call) {
        const std::lock_guard lock(mutex);
        if (publisher)
            QMetaObject::invokeMethod(
                publisher, [target = publisher, call = std::move(call)] { call(target); },
                Qt::QueuedConnection);
    }
    bool isStopping() {
        const std::lock_guard lock(mutex);
        return stopping;
    }
    // Waits seconds, or less when the publisher ends; false when it ends.
    bool pause(int seconds) {
        std::unique_lock lock(mutex);
        return !wake.wait_for(lock, std::chrono::seconds(seconds), [this] { return stopping; });
    }
    void stop() {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        wake.notify_all();
    }
};

namespace {

// The goodbyes being written: joined by the program's exit, or at the latest when the
// process ends, so that no thread is left running into the library's teardown.
struct Farewells {
    std::mutex mutex;
    std::vector<std::thread> threads;

    void add(std::thread thread) {
        const std::lock_guard lock(mutex);
        threads.push_back(std::move(thread));
    }
    void joinAll() {
        std::vector<std::thread> ending;
        {
            const std::lock_guard lock(mutex);
            ending.swap(threads);
        }
        for (std::thread& thread : ending)
            thread.join();
    }
    ~Farewells() { joinAll(); }
};

Farewells& farewells() {
    static Farewells all;
    return all;
}

constexpr int kQos = 1;
// How long the network thread waits for the socket at a time: it looks whether it is to end
// at least this often.
constexpr int kLoopMs = 500;

} // namespace

MqttPublisher::MqttPublisher(MqttConnection connection, Source source, Now now, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)), m_source(std::move(source)),
      m_now(std::move(now)) {
    m_coalesce.setSingleShot(true);
    connect(&m_coalesce, &QTimer::timeout, this, &MqttPublisher::publishNow);
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
    m_link = std::make_shared<Link>();
    m_link->publisher = this;
    m_client = mosquitto_new(id.isEmpty() ? nullptr : id.constData(), true, m_link.get());
    if (!m_client) {
        setStatus(QStringLiteral("MQTT: kein Speicher für die Verbindung"));
        return;
    }
    m_started = true;
    // The network runs on a thread of ours: the library is told, so a message handed over
    // from the window's thread only wakes that thread and is written there.
    mosquitto_threaded_set(m_client, true);
    mosquitto_connect_callback_set(m_client, &MqttPublisher::connectCallback);
    mosquitto_disconnect_callback_set(m_client, &MqttPublisher::disconnectCallback);
    const QByteArray will = "offline";
    mosquitto_will_set(m_client, MqttTopics::statusTopic(m_connection.prefix).toUtf8().constData(),
                       int(will.size()), will.constData(), kQos, true);
    if (const QString refused = MqttClientSetup::configure(m_client, m_connection);
        !refused.isEmpty()) {
        setStatus(QStringLiteral("MQTT: ") + refused);
        return;
    }
    setStatus(MqttStatusText::connecting(m_connection.host, m_connection.port));
    m_network =
        std::thread(&MqttPublisher::runNetwork, m_client, m_link, m_connection.host.toUtf8(),
                    m_connection.port, m_connection.keepAliveSeconds);
}

// The network thread: connects, serves the connection until it breaks, tells why, pauses
// (1 s, growing to 30 s) and connects again, until the publisher ends. Every failure reaches
// the status bar, a certificate the broker's TLS does not pass as much as a refused port. The
// name lookup and the TLS handshake happen here, never on the window's thread.
void MqttPublisher::runNetwork(mosquitto* client, std::shared_ptr<Link> link, QByteArray host,
                               int port, int keepAlive) {
    bool first = true;
    while (!link->isStopping()) {
        int error = first ? mosquitto_connect_async(client, host.constData(), port, keepAlive)
                          : mosquitto_reconnect_async(client);
        first = false;
        while (error == MOSQ_ERR_SUCCESS) {
            error = mosquitto_loop(client, kLoopMs, 1);
            if (link->isStopping())
                return;
        }
        const int osError = errno;
        link->post([error, osError](MqttPublisher* publisher) {
            publisher->networkFailed(error, osError);
        });
        const int delay = link->delayS;
        link->delayS = qMin(delay * 2, reconnectDelayMaxS);
        if (!link->pause(delay))
            return;
    }
}

void MqttPublisher::connectCallback(mosquitto*, void* self, int code) {
    auto* link = static_cast<Link*>(self);
    if (code == 0)
        link->delayS = reconnectDelayMinS;
    link->post([code](MqttPublisher* publisher) { publisher->connected(code); });
}

void MqttPublisher::disconnectCallback(mosquitto*, void* self, int) {
    auto* link = static_cast<Link*>(self);
    link->closed = true;
    link->post([](MqttPublisher* publisher) { publisher->disconnected(); });
}

void MqttPublisher::networkFailed(int error, int osError) {
    if (!m_started || m_refused)
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
    setStatus(MqttStatusText::connected(m_connection.host, m_connection.port));
    // A broker that restarted without keeping its retained messages gets all of them again.
    m_sent.clear();
    m_clockKnown = false;
    send(MqttTopics::statusTopic(m_connection.prefix), "online", true);
    publishNow();
}

void MqttPublisher::disconnected() {
    // Why is told by the network thread once the connection is given up for this attempt.
    m_connected = false;
    m_sent.clear();
}

void MqttPublisher::shutdown() {
    if (!m_started)
        return;
    m_started = false;
    m_coalesce.stop();
    {
        const std::lock_guard lock(m_link->mutex);
        m_link->publisher = nullptr;
    }
    const bool connected = m_connected;
    m_connected = false;
    if (connected) {
        m_link->closed = false;
        send(MqttTopics::statusTopic(m_connection.prefix), "offline", true);
    }
    std::thread farewell([client = m_client, link = std::move(m_link), connected,
                          network = std::move(m_network)]() mutable {
        mosquitto_disconnect(client);
        if (connected) {
            // The network thread writes what is queued, the goodbye last; a broker that
            // stopped reading does not hold up the exit for long.
            const QDeadlineTimer deadline(goodbyeMs);
            while (!link->closed && !deadline.hasExpired())
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        link->stop();
        if (network.joinable())
            network.join();
        mosquitto_destroy(client);
    });
    farewells().add(std::move(farewell));
    m_client = nullptr;
    setStatus(QString());
}

void MqttPublisher::waitForFarewells() {
    farewells().joinAll();
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
