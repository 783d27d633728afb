#pragma once

#include "live/LiveLimits.h"
#include "live/LiveSnapshot.h"

#include <QHostAddress>
#include <QObject>
#include <QThread>
#include <memory>

class LiveHttpServer;
class TickSource;

// Runs the live web server on a thread of its own, off the timing path: the user-interface
// thread only starts and stops it and posts snapshots, and never waits for a client. The
// outcome of a start comes back as a signal.
class LiveServer : public QObject {
    Q_OBJECT
public:
    explicit LiveServer(std::shared_ptr<const TickSource> ticks, QObject* parent = nullptr);
    ~LiveServer() override;

    // Starts listening on the port (on every address unless one is given); the answer is
    // started() or failed(). A running server is stopped first.
    void start(quint16 port, const QHostAddress& address = QHostAddress::Any,
               LiveLimits limits = LiveLimits());
    // Closes every connection and ends the thread.
    void stop();
    bool isRunning() const { return m_http != nullptr; }

    // Hands the state to the server thread; the server keeps the latest one only.
    void publish(const LiveSnapshot& snapshot);

Q_SIGNALS:
    // The port, and how many connections the server takes at once.
    void started(quint16 port, int connectionCap);
    void failed(const QString& reason);

private:
    std::shared_ptr<const TickSource> m_ticks;
    QThread m_thread;
    LiveHttpServer* m_http = nullptr;
    std::shared_ptr<LiveSnapshot> m_latest;
};
