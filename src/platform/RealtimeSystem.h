#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The calls that raise a thread's scheduling, behind one seam so that tests can play a system
// that permits real-time scheduling, refuses it or has no RealtimeKit. Thread ids are the
// kernel's (gettid), which RealtimeKit asks for as well.
class RealtimeSystem {
public:
    // What RealtimeKit hands out at most.
    struct KitLimits {
        int maxRealtimePriority = 0;
        qint64 rtTimeUSecMax = 0; // the RLIMIT_RTTIME a client must keep to
    };

    virtual ~RealtimeSystem() = default;

    // The soft RLIMIT_RTPRIO: the highest real-time priority the process may give itself
    // without privilege (0: none).
    virtual int realtimePriorityLimit() = 0;
    // SCHED_FIFO (reset on fork) for the thread; 0 or the negated errno.
    virtual int setFifo(qint64 thread, int priority) = 0;
    // RealtimeKit's properties; nothing when it cannot be asked, with why in *error.
    virtual std::optional<KitLimits> realtimeKitLimits(QString* error) = 0;
    // Keeps the process's RLIMIT_RTTIME at or below this, as RealtimeKit demands; 0 or the
    // negated errno.
    virtual int limitRealtimeRuntime(qint64 microseconds) = 0;
    // RealtimeKit's MakeThreadRealtime; empty on success, otherwise why it refused.
    virtual QString makeThreadRealtime(qint64 thread, int priority) = 0;
};
