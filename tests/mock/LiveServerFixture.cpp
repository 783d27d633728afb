#include "mock/LiveServerFixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>

LiveServerFixture::LiveServerFixture()
    : m_ticks(std::make_shared<FakeTickSource>(5'000'000'000)),
      m_server(std::make_unique<LiveServer>(m_ticks)) {}

LiveServerFixture::~LiveServerFixture() {
    m_client.reset();
    m_server.reset();
}

bool LiveServerFixture::start(const LiveLimits& limits) {
    QSignalSpy started(m_server.get(), &LiveServer::started);
    m_server->start(0, QHostAddress::LocalHost, limits);
    if (!started.wait(5000))
        return false;
    m_port = started.first().at(0).value<quint16>();
    m_cap = started.first().at(1).toInt();
    m_client = std::make_unique<LiveHttpClient>(m_port);
    return m_port != 0;
}

std::unique_ptr<QTcpSocket> LiveServerFixture::connectFrom(const QHostAddress& from) const {
    auto socket = std::make_unique<QTcpSocket>();
    if (!from.isNull() && !socket->bind(from))
        return nullptr;
    socket->connectToHost(QHostAddress::LocalHost, m_port);
    if (!socket->waitForConnected(2000))
        return nullptr;
    return socket;
}

QByteArray LiveServerFixture::readUntilClosed(QTcpSocket& socket, int waitMs) {
    QByteArray bytes;
    QElapsedTimer time;
    time.start();
    while (time.elapsed() < waitMs && socket.state() == QAbstractSocket::ConnectedState) {
        if (socket.waitForReadyRead(20))
            bytes += socket.readAll();
    }
    return bytes + socket.readAll();
}

LiveSnapshot LiveServerFixture::crowd(int competitors, int seed) {
    LiveSnapshot snapshot;
    const QStringList header{"Nr.",     "Name",    "Vorname", "Verein / Ort", "Kl.",
                             "Meister", "1. Lauf", "2. Lauf", "3. Lauf",      "G-Zeit"};
    for (int stage = 0; stage < 4; ++stage) {
        LiveSnapshot::Table& table = snapshot.stages[stage];
        table.caption = QStringLiteral("Tabelle %1").arg(stage);
        table.header = header;
        for (int i = 1; i <= competitors; ++i) {
            const int time = 2000 + (i * 7919 + seed * 104729 + stage) % 3000;
            table.rows.append({QString::number(i), QStringLiteral("Name%1").arg(i),
                               QStringLiteral("Vorname%1").arg(i),
                               QStringLiteral("Verein%1").arg(i % 40), QString::number(1 + i % 4),
                               i % 9 == 0 ? QStringLiteral("+") : QString(), QString::number(time),
                               QString::number(time + 11), QString::number(time + 23),
                               QString::number(2 * time + 11)});
        }
    }
    snapshot.teams.caption = QStringLiteral("Mannschaften");
    snapshot.teams.header = {"Pl.", "Verein / Ort", "Summe", "1.", "2.", "3."};
    for (int club = 0; club < 40; ++club)
        snapshot.teams.rows.append({QString::number(club + 1), QStringLiteral("Verein%1").arg(club),
                                    QString::number(9000 + club), "a", "b", "c"});
    return snapshot;
}
