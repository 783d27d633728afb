#include "live/LanAddress.h"

#include <QNetworkInterface>
#include <QUrl>

#include <algorithm>

namespace {

bool isVirtual(const QString& interfaceName) {
    static const char* const prefixes[] = {"docker",  "virbr", "veth",     "br-", "vmnet",
                                           "vboxnet", "lxc",   "lxdbr",    "tun", "tap",
                                           "wg",      "zt",    "tailscale"};
    return std::any_of(std::begin(prefixes), std::end(prefixes), [&](const char* prefix) {
        return interfaceName.startsWith(QLatin1String(prefix));
    });
}

bool usable(const LanAddress::Candidate& c) {
    if (!c.up || c.loopback || c.address.isLoopback() || c.address.isLinkLocal())
        return false;
    if (c.address.protocol() == QAbstractSocket::IPv4Protocol)
        return true;
    return c.address.protocol() == QAbstractSocket::IPv6Protocol && c.address.isGlobal();
}

int rank(const LanAddress::Candidate& c) {
    const int family = c.address.protocol() == QAbstractSocket::IPv4Protocol ? 0 : 2;
    return family + (isVirtual(c.interfaceName) ? 1 : 0);
}

} // namespace

namespace LanAddress {

QList<Candidate> reachable(const QList<Candidate>& candidates) {
    QList<Candidate> result;
    for (const Candidate& c : candidates) {
        if (usable(c))
            result.append(c);
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const Candidate& a, const Candidate& b) { return rank(a) < rank(b); });
    return result;
}

QHostAddress choose(const QList<Candidate>& candidates, const QHostAddress& preferred) {
    const QList<Candidate> usableOnes = reachable(candidates);
    for (const Candidate& c : usableOnes) {
        if (!preferred.isNull() && c.address.isEqual(preferred))
            return c.address;
    }
    return usableOnes.isEmpty() ? QHostAddress(QHostAddress::LocalHost)
                                : usableOnes.first().address;
}

QList<Candidate> ofThisMachine() {
    QList<Candidate> candidates;
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        const auto flags = iface.flags();
        const bool up =
            flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning);
        const bool loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
        for (const QNetworkAddressEntry& entry : iface.addressEntries())
            candidates.append({entry.ip(), up, loopback || entry.ip().isLoopback(), iface.name()});
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

QString label(const Candidate& candidate) {
    const QString address = candidate.address.toString();
    return candidate.interfaceName.isEmpty()
               ? address
               : QStringLiteral("%1 (%2)").arg(address, candidate.interfaceName);
}

} // namespace LanAddress
