#pragma once

#include "live/LiveSnapshot.h"
#include "publish/MqttConnection.h"

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <thread>

struct mosquitto;

// The race on an MQTT broker, for audiences the venue's own server cannot reach: the state the
// live pages get, one retained topic per table, the last result and the clock's events, and a
// retained "online" that the broker turns into "offline" (the last will) when the program goes
// away without a word. Only what changed since it was last sent goes out again. A thread of
// its own does the network and the reconnects; the window's thread only hands it messages, so
// a broker that is down or far away never holds the program up.
class MqttPublisher : public QObject {
    Q_OBJECT
public:
    using Source = std::function<LiveSnapshot()>;
    // The program's clock in ms, as the pages take it for the running time.
    using Now = std::function<double()>;

    static constexpr int minPublishIntervalMs = 250;
    static constexpr int reconnectDelayMinS = 1;
    static constexpr int reconnectDelayMaxS = 30;
    // How long the exit waits for the goodbye to be written to a broker that stopped reading.
    static constexpr int goodbyeMs = 2000;

    MqttPublisher(MqttConnection connection, Source source, Now now, QObject* parent = nullptr);
    ~MqttPublisher() override;
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // Connects in the background and keeps connecting until shutdown().
    void start();
    // "offline" on the status topic, a clean goodbye, and the network thread ends. The goodbye
    // is written in the background (a broker that stopped reading is given goodbyeMs), so
    // switching the publisher off or to another broker never holds the window up.
    void shutdown();
    // Waits for the goodbyes of the publishers shut down so far; the program's exit calls it
    // so the last "offline" goes out before the process ends.
    static void waitForFarewells();
    bool isConnected() const { return m_connected; }
    QString statusText() const { return m_status; }
    const MqttConnection& connection() const { return m_connection; }

public Q_SLOTS:
    // The state changed; the clock's news goes out at once, the rest a few times a second at
    // most.
    void sourceChanged(bool clock = false);

Q_SIGNALS:
    void statusChanged(const QString& text);

private:
    // What the network thread and libmosquitto's callbacks reach of the publisher: it outlives
    // the publisher while a goodbye is still being written, and is told when the publisher is
    // gone.
    struct Link;

    static void runNetwork(mosquitto* client, std::shared_ptr<Link> link, QByteArray host, int port,
                           int keepAlive);
    static void connectCallback(mosquitto* client, void* self, int code);
    static void disconnectCallback(mosquitto* client, void* self, int code);
    void networkFailed(int error, int osError);
    void connected(int code);
    void disconnected();
    void setStatus(const QString& text);
    void schedule();
    void publishNow();
    bool send(const QString& topic, const QByteArray& payload, bool retain);

    MqttConnection m_connection;
    Source m_source;
    Now m_now;
    mosquitto* m_client = nullptr;
    std::shared_ptr<Link> m_link;
    // Connects, serves the connection and connects again; a name server that does not answer
    // or a broker far away keeps this thread waiting, never the window.
    std::thread m_network;
    QTimer m_coalesce;
    QElapsedTimer m_lastPublish;
    // What the broker holds from this connection, per topic: what tells a change.
    QMap<QString, QByteArray> m_sent;
    LiveSnapshot::Clock m_lastClock;
    bool m_clockKnown = false;
    bool m_started = false;
    bool m_connected = false;
    // The broker refused the login: that stays the status until a connection succeeds.
    bool m_refused = false;
    QString m_status;
};
