#pragma once

#include "live/LiveSnapshot.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

class LiveAddressWindow;
class LiveServer;
class QLabel;
class TFormMain;

// The live results in the main window: the entry "Live-Ergebnisse im Netzwerk" starts and
// stops the server, the status bar shows the address to type (or why the server could not
// start), and every change of the tables, the clock or the current competitor is posted to
// the server as a new snapshot, a few at most per second.
class LiveResultsControl : public QObject {
    Q_OBJECT
public:
    // Asks for a port, given the current one; nothing when the operator cancels.
    using PortQuestion = std::function<std::optional<int>(int current)>;

    static constexpr int coalesceMs = 40;

    explicit LiveResultsControl(TFormMain& window, QObject* parent = nullptr);
    ~LiveResultsControl() override;

    // Start-up: switches the server on when the settings say so.
    void startUp();
    // Where the server listens; every address by default, one of them in tests.
    void setListenAddress(const QHostAddress& address) { m_listenAddress = address; }
    void setPortQuestion(PortQuestion question) { m_portQuestion = std::move(question); }

    bool isRunning() const;
    quint16 port() const { return m_port; }
    QString address() const { return m_address; }
    QString statusText() const;
    LiveAddressWindow* addressWindow() const;
    LiveServer& server() { return *m_server; }
    // The state as the server gets it next.
    LiveSnapshot snapshot() const;

public Q_SLOTS:
    void setLive(bool on);
    void askPort();
    void showAddressWindow();

private:
    void connectSources();
    void schedule();
    void publishNow();
    void started(quint16 port);
    void failed(const QString& reason);
    void showState();

    TFormMain& m_window;
    std::unique_ptr<LiveServer> m_server;
    QHostAddress m_listenAddress = QHostAddress::Any;
    PortQuestion m_portQuestion;
    QTimer m_coalesce;
    QLabel* m_status = nullptr;
    QPointer<LiveAddressWindow> m_addressWindow;
    quint16 m_port = 0;
    QString m_address;
    std::optional<LiveSnapshot::Result> m_lastResult;
    LiveSnapshot::Result m_stoppedRun;
};
