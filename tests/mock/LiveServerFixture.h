#pragma once

#include "live/LiveLimits.h"
#include "live/LiveServer.h"
#include "live/LiveSnapshot.h"
#include "mock/FakeTickSource.h"
#include "mock/LiveHttpClient.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <memory>

// A live server on 127.0.0.1 and a free port, on a clock the test moves, with a client.
class LiveServerFixture {
public:
    LiveServerFixture();
    ~LiveServerFixture();

    // Starts the server with these limits; false when it did not start within 5 s.
    bool start(const LiveLimits& limits = LiveLimits());
    quint16 port() const { return m_port; }
    LiveServer& server() { return *m_server; }
    FakeTickSource& ticks() { return *m_ticks; }
    LiveHttpClient& client() { return *m_client; }
    int connectionCap() const { return m_cap; }

    // A plain connection, made from the given local address (127.0.0.1 when none); nothing
    // when it could not be made.
    std::unique_ptr<QTcpSocket> connectFrom(const QHostAddress& from = QHostAddress()) const;
    // Reads what comes until the server closes the connection or the time runs out.
    static QByteArray readUntilClosed(QTcpSocket& socket, int waitMs);
    // A state with the given number of competitors in every table, with their times.
    static LiveSnapshot crowd(int competitors, int seed = 0);

private:
    std::shared_ptr<FakeTickSource> m_ticks;
    std::unique_ptr<LiveServer> m_server;
    std::unique_ptr<LiveHttpClient> m_client;
    quint16 m_port = 0;
    int m_cap = 0;
};
