#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

// The address spectators type to reach the live results: the machine's address on the event's
// network, not the loopback one, nor that of a virtual machine's bridge or a VPN.
namespace LanAddress {

struct Candidate {
    QHostAddress address;
    bool up = true;
    bool loopback = false;
    QString interfaceName;
};

// The addresses a phone on the local network may reach, best first: IPv4 before global IPv6,
// interfaces of the machine before virtual bridges and tunnels, otherwise in the system's order.
QList<Candidate> reachable(const QList<Candidate>& candidates);
// The preferred address when it is reachable, else the first reachable one, else 127.0.0.1.
QHostAddress choose(const QList<Candidate>& candidates, const QHostAddress& preferred = {});
// The candidates of this machine's network interfaces.
QList<Candidate> ofThisMachine();
// "http://192.168.1.20:8080/"
QString url(const QHostAddress& address, quint16 port);
// "192.168.1.20 (wlan0)", as the menu lists it.
QString label(const Candidate& candidate);

} // namespace LanAddress
