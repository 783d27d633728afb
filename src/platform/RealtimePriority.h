#pragma once

#include <QString>
#include <QtGlobal>

class RealtimeSystem;

// Gives a thread real-time scheduling, so that a light-barrier edge is stamped at once even
// while other programs keep the processors busy: SCHED_FIFO where the process may set it
// (root, or an rtprio limit), otherwise through RealtimeKit, the desktop's way for
// unprivileged programs; and says in German why when neither works.
class RealtimePriority {
public:
    enum class Method { Direct, RealtimeKit, None };
    struct Outcome {
        Method method = Method::None;
        int priority = 0;
        QString reason; // why there is none, empty otherwise
    };

    // High enough to preempt every ordinary thread, low enough to leave the kernel's
    // interrupt threads (50) above the monitor.
    static constexpr int WantedPriority = 20;

    static Outcome raise(RealtimeSystem& system, qint64 thread);
    // "direct", "rtkit" or "none".
    static QString methodName(Method method);
    // The operator's notice when there is no real-time priority; empty otherwise.
    static QString notice(const Outcome& outcome);
};
