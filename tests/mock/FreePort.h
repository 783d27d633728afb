#pragma once

#include <QtGlobal>

// A TCP port nobody listens on, for a server a test starts under a fixed port. It lies below
// the kernel's range of ephemeral ports: a port taken from that range and let go may become
// the source port of another test's connection before the server binds it.
quint16 freeListenPort();
