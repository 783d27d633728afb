#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

// The address spectators type to reach the live results: the machine's address on the event's
// network, not the loopback one.
namespace LanAddress {

struct Candidate {
    QHostAddress address;
    bool up = true;
    bool loopback = false;
};

// The first IPv4 address of an interface that is up and not a loopback; else the first
// IPv6 global one; else 127.0.0.1.
QHostAddress choose(const QList<Candidate>& candidates);
// The candidates of this machine's network interfaces.
QList<Candidate> ofThisMachine();
// "http://192.168.1.20:8080/"
QString url(const QHostAddress& address, quint16 port);

} // namespace LanAddress
