#pragma once

#include <QtGlobal>

class QProcess;

// A TCP port nobody listens on, for a server a test starts under a fixed port. It lies below
// the kernel's range of ephemeral ports: a port taken from that range and let go may become
// the source port of another test's connection before the server binds it.
quint16 freeListenPort();

// Waits until a server just started takes connections on 127.0.0.1:port, 10 s at most; false
// when it ended or did not.
bool waitUntilListening(QProcess& process, quint16 port);
