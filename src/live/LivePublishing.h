#pragma once

#include "live/LanAddress.h"
#include "live/LiveInputs.h"
#include "live/LiveLimits.h"
#include "live/LiveSnapshot.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class LiveServer;
class LiveSnapshotSource;

// The live results of a race, apart from any window: switches the server on and off as the
// stored settings and the operator say, follows the network as it changes (an address served
// on alone that comes back brings the server back), and posts every change of the tables, the
// clock or the texts as a new snapshot: the clock's at once, others a few times a second at
// most, so typing the title does not flood the phones.
class LivePublishing : public QObject {
    Q_OBJECT
public:
    using Interfaces = std::function<QList<LanAddress::Candidate>()>;

    static constexpr int coalesceMs = 40;
    static constexpr int minPublishIntervalMs = 250;
    static constexpr int networkCheckMs = 3000;

    explicit LivePublishing(LiveInputs inputs, QObject* parent = nullptr);
    ~LivePublishing() override;

    // Start-up: switches the server on when the settings say so.
    void startUp();
    // Where the server listens regardless of the settings; for tests on 127.0.0.1.
    void setListenAddress(const QHostAddress& address) { m_listenOverride = address; }
    void setLimits(const LiveLimits& limits) { m_limits = limits; }
    // The machine's interfaces as the address check sees them; the system's by default.
    void setInterfaces(Interfaces interfaces) { m_interfaces = std::move(interfaces); }

    // Serving, with the port it got.
    bool isRunning() const;
    // Switched on: starting or serving.
    bool isSwitchedOn() const;
    quint16 port() const { return m_port; }
    // The port the settings keep, asked for when switched on.
    int storedPort() const { return m_in.port; }
    QString address() const { return m_address; }
    int connectionCap() const { return m_connectionCap; }
    // What the status bar tells: the address to type, or why the server could not start or
    // cannot be reached from the network. The address is empty while the server is reached
    // under none (the address it was to serve on alone is gone).
    QString statusText() const { return m_statusText; }
    LiveServer& server() { return *m_server; }
    // The state as the server gets it next.
    LiveSnapshot snapshot() const;

    // The tables of the cup open now, recomputed: the pages get a "Cup" tab with a table per
    // class. nullopt (the cup closed) takes the tab away again.
    void setCup(std::optional<LiveSnapshot::Cup> cup);

public Q_SLOTS:
    void setLive(bool on);
    // Another port; a running server moves to it. A port outside 1 to 65535 is refused.
    void setPort(int port);
    // Looks at the network interfaces again and follows a change of the addresses.
    void checkNetwork();
    void chooseAddress(const QHostAddress& address);
    void serveOnChosenAddressOnly(bool on);
    // The tables, the title or the current competitor may have changed.
    void sourcesChanged();
    // "Neue": the last result is forgotten.
    void protocolRestarted();
    // A time was entered into the row of this competitor and club; "Letztes Ergebnis".
    void resultEntered(const QString& competitor, const QString& club, const QString& time);

Q_SIGNALS:
    // Switched on or off, started, failed, or the address changed.
    void stateChanged();
    // After every look at the network: the reachable addresses, the one shown, and whether
    // the server is to serve on it alone.
    void addressesChecked(const QList<LanAddress::Candidate>& reachable, const QHostAddress& shown,
                          bool onlyThisAddress);
    // What the pages show changed, whether the server runs or not, for the publishers beside
    // it: clock is true for the clock's news, which should go out at once.
    void contentChanged(bool clock);

private:
    void connectSources();
    void schedule();
    void publishNow();
    void started(quint16 port, int connectionCap);
    void failed(const QString& reason);
    QHostAddress listenAddress() const;
    void restartIfRunning();

    LiveInputs m_in;
    std::unique_ptr<LiveServer> m_server;
    LiveSnapshotSource* m_source;
    std::optional<QHostAddress> m_listenOverride;
    LiveLimits m_limits;
    Interfaces m_interfaces;
    QTimer m_coalesce;
    QElapsedTimer m_lastPublish;
    QTimer m_networkCheck;
    QList<LanAddress::Candidate> m_reachable;
    // The next look at the network tells its outcome even when the addresses did not change.
    bool m_networkKnown = false;
    QString m_statusText;
    quint16 m_port = 0;
    int m_connectionCap = 0;
    QString m_address;
    // Switched on by the operator; an address that went away may bring the server back.
    bool m_wanted = false;
};
