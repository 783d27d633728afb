#pragma once

#include "live/LiveSnapshot.h"
#include "publish/MqttConnection.h"

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>

struct mosquitto;

// The race on an MQTT broker, for audiences the venue's own server cannot reach: the state the
// live pages get, one retained topic per table, the last result and the clock's events, and a
// retained "online" that the broker turns into "offline" (the last will) when the program goes
// away without a word. Only what changed since it was last sent goes out again. libmosquitto's
// own thread does the network and the reconnects; the window's thread only hands it messages,
// so a broker that is down or far away never holds the program up.
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
    // "offline" on the status topic, a clean goodbye, and the network thread ends.
    void shutdown();
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
    static void connectCallback(mosquitto* client, void* self, int code);
    static void disconnectCallback(mosquitto* client, void* self, int code);
    void beginConnecting(bool first);
    void connectAttempted(int error, int osError);
    void connected(int code);
    void disconnected(int code, int osError);
    void setStatus(const QString& text);
    void schedule();
    void publishNow();
    bool send(const QString& topic, const QByteArray& payload, bool retain);
    void joinConnector();

    MqttConnection m_connection;
    Source m_source;
    Now m_now;
    mosquitto* m_client = nullptr;
    // Resolves the broker's name and starts the network thread; a name server that does not
    // answer keeps this thread waiting, not the window.
    std::thread m_connector;
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
    // libmosquitto's thread gives up on errors it takes for lasting (TLS, a protocol error);
    // the connection is tried again from here, as rarely as its own backoff would.
    QTimer m_restart;
    int m_restartDelayS = reconnectDelayMinS;
    // Set by the network thread once the connection is closed, the goodbye written.
    std::atomic<bool> m_closed = false;
};
