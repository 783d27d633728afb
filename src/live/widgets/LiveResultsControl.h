#pragma once

#include "live/LanAddress.h"
#include "live/LiveInputs.h"
#include "live/LiveLimits.h"
#include "live/LiveSnapshot.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class LiveAddressMenu;
class LiveAddressWindow;
class LiveServer;
class LiveSnapshotSource;
class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QWidget;

// The live results in a window: the entry "Live-Ergebnisse im Netzwerk" starts and
// stops the server, the status bar shows the address to type (or why the server could not
// start) and follows the network as it changes, the submenu "Live-Adresse" chooses among
// several addresses, and every change of the tables, the clock or the current competitor is
// posted to the server as a new snapshot: the clock's at once, others a few times a second
// at most, so typing the title does not flood the phones.
class LiveResultsControl : public QObject {
    Q_OBJECT
public:
    // Asks for a port, given the current one; nothing when the operator cancels.
    using PortQuestion = std::function<std::optional<int>(int current)>;
    using Interfaces = std::function<QList<LanAddress::Candidate>()>;

    static constexpr int coalesceMs = 40;
    static constexpr int minPublishIntervalMs = 250;
    static constexpr int networkCheckMs = 3000;

    // The window's entries: "Live-Ergebnisse im Netzwerk", the port, the address window, and
    // the menu the address submenu goes into before an entry.
    struct Menu {
        QAction* live;
        QAction* port;
        QAction* address;
        QMenu* programm;
        QAction* before;
    };

    LiveResultsControl(LiveInputs inputs, Menu menu, QWidget& window, QStatusBar& statusBar,
                       QObject* parent = nullptr);
    ~LiveResultsControl() override;

    // Start-up: switches the server on when the settings say so.
    void startUp();
    // Where the server listens regardless of the settings; for tests on 127.0.0.1.
    void setListenAddress(const QHostAddress& address) { m_listenOverride = address; }
    void setLimits(const LiveLimits& limits) { m_limits = limits; }
    void setPortQuestion(PortQuestion question) { m_portQuestion = std::move(question); }
    // The machine's interfaces as the address check sees them; the system's by default.
    void setInterfaces(Interfaces interfaces) { m_interfaces = std::move(interfaces); }

    bool isRunning() const;
    quint16 port() const { return m_port; }
    QString address() const { return m_address; }
    int connectionCap() const { return m_connectionCap; }
    QString statusText() const;
    LiveAddressWindow* addressWindow() const;
    LiveAddressMenu* addressMenu() const { return m_addressMenu; }
    LiveServer& server() { return *m_server; }
    // The state as the server gets it next.
    LiveSnapshot snapshot() const;

public Q_SLOTS:
    void setLive(bool on);
    void askPort();
    void showAddressWindow();
    // Looks at the network interfaces again and follows a change of the addresses.
    void checkNetwork();
    // The tables, the title or the current competitor may have changed.
    void sourcesChanged();
    // "Neue": the last result is forgotten.
    void protocolRestarted();

private:
    void connectSources();
    void schedule();
    void publishNow();
    void started(quint16 port, int connectionCap);
    void failed(const QString& reason);
    void showState();
    void chooseAddress(const QHostAddress& address);
    void serveOnChosenAddressOnly(bool on);
    QHostAddress listenAddress() const;
    void restartIfRunning();

    LiveInputs m_in;
    Menu m_menu;
    QWidget& m_window;
    std::unique_ptr<LiveServer> m_server;
    LiveSnapshotSource* m_source;
    std::optional<QHostAddress> m_listenOverride;
    LiveLimits m_limits;
    PortQuestion m_portQuestion;
    Interfaces m_interfaces;
    QTimer m_coalesce;
    QElapsedTimer m_lastPublish;
    QTimer m_networkCheck;
    QList<LanAddress::Candidate> m_reachable;
    QLabel* m_status = nullptr;
    QPointer<LiveAddressWindow> m_addressWindow;
    LiveAddressMenu* m_addressMenu = nullptr;
    quint16 m_port = 0;
    int m_connectionCap = 0;
    QString m_address;
    // Switched on by the operator; an address that went away may bring the server back.
    bool m_wanted = false;
};
