#include "mock/FreePort.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

quint16 freeListenPort() {
    // Linux hands out ephemeral ports from 32768 up by default.
    constexpr quint32 first = 20000;
    constexpr quint32 last = 32767;
    for (int attempt = 0; attempt < 200; ++attempt) {
        const auto port =
            static_cast<quint16>(QRandomGenerator::global()->bounded(first, last + 1));
        QTcpServer probe;
        if (probe.listen(QHostAddress::Any, port))
            return port;
    }
    return 0;
}

bool waitUntilListening(QProcess& process, quint16 port) {
    const QDeadlineTimer deadline(10000);
    while (process.waitForStarted(5000) && !deadline.hasExpired() &&
           process.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QStringLiteral("127.0.0.1"), port);
        if (probe.waitForConnected(500))
            return true;
        process.waitForFinished(50);
    }
    return false;
}
