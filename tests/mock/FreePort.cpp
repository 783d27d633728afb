#include "mock/FreePort.h"

#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>

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
