#pragma once

#include <QtGlobal>

// What the live server grants its clients. A venue's phones never come near these; one client
// that tries to hold the server does, and meets them alone.
struct LiveLimits {
    // One request head; a request that announces a body is answered and its connection closed.
    qint64 maxRequestBytes = 8 * 1024;
    // Connections at once; lowered further at start so that the program's own files always
    // find a free descriptor (see reservedFiles).
    int maxConnections = 2000;
    int maxConnectionsPerAddress = 48;
    int maxStreams = 1500;
    int maxStreamsPerAddress = 12;
    // Descriptors kept free for the program's own files: backup, journal, dialogs, X, D-Bus.
    int reservedFiles = 128;
    // A request head must be complete this long after its first byte (blank lines included).
    int requestTimeoutMs = 10000;
    // A connection without a request is closed after this; after busyIdleTimeoutMs when more
    // than half of the connections are taken.
    int idleTimeoutMs = 15000;
    int busyIdleTimeoutMs = 2000;
    // An answer or a stream that the client does not take for this long is dropped.
    int stalledTimeoutMs = 60000;
    // Bytes handed to one connection's socket at a time; the rest waits, shared, in its queue.
    qint64 writeChunkBytes = 32 * 1024;
    // An event stream whose client lags this far behind gets no more changes until it has
    // taken what is queued; then it catches up from the changes kept, or from the whole state.
    qint64 maxQueuedStreamBytes = 256 * 1024;
};
