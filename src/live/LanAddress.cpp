#include "live/LanAddress.h"

#include <QNetworkInterface>
#include <QUrl>

namespace LanAddress {

QHostAddress choose(const QList<Candidate>& candidates) {
    for (const Candidate& c : candidates) {
        if (c.up && !c.loopback && c.address.protocol() == QAbstractSocket::IPv4Protocol &&
            !c.address.isLinkLocal())
            return c.address;
    }
    for (const Candidate& c : candidates) {
        if (c.up && !c.loopback && c.address.protocol() == QAbstractSocket::IPv6Protocol &&
            c.address.isGlobal() && !c.address.isLinkLocal())
            return c.address;
    }
    return QHostAddress(QHostAddress::LocalHost);
}

QList<Candidate> ofThisMachine() {
    QList<Candidate> candidates;
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        const auto flags = iface.flags();
        const bool up =
            flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning);
        const bool loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
        for (const QNetworkAddressEntry& entry : iface.addressEntries())
            candidates.append({entry.ip(), up, loopback || entry.ip().isLoopback()});
    }
    return candidates;
}

QString url(const QHostAddress& address, quint16 port) {
    QUrl result;
    result.setScheme(QStringLiteral("http"));
    result.setHost(address.toString());
    result.setPort(port);
    result.setPath(QStringLiteral("/"));
    return result.toString();
}

} // namespace LanAddress
