#include "platform/RealtimePriority.h"

#include "platform/RealtimeSystem.h"

#include <algorithm>
#include <cstring>

RealtimePriority::Outcome RealtimePriority::raise(RealtimeSystem& system, qint64 thread) {
    // Without privilege the rtprio limit caps the priority; root has none and needs none.
    const int limit = system.realtimePriorityLimit();
    const int direct = limit > 0 ? std::min(WantedPriority, limit) : WantedPriority;
    const int refused = system.setFifo(thread, direct);
    if (refused == 0)
        return {Method::Direct, direct, {}};
    const QString directReason = QStringLiteral("SCHED_FIFO verweigert (%1)")
                                     .arg(QString::fromLocal8Bit(std::strerror(-refused)));

    QString kitError;
    const std::optional<RealtimeSystem::KitLimits> kit = system.realtimeKitLimits(&kitError);
    if (!kit)
        return {Method::None, 0, directReason + QStringLiteral(", RealtimeKit: ") + kitError};
    const int priority = std::min(WantedPriority, kit->maxRealtimePriority);
    if (priority < 1)
        return {Method::None, 0,
                directReason + QStringLiteral(", RealtimeKit gibt keine Echtzeit-Priorität")};
    if (const int failed = system.limitRealtimeRuntime(kit->rtTimeUSecMax); failed < 0)
        return {Method::None, 0,
                directReason + QStringLiteral(", RLIMIT_RTTIME nicht setzbar (%1)")
                                   .arg(QString::fromLocal8Bit(std::strerror(-failed)))};
    kitError = system.makeThreadRealtime(thread, priority);
    if (kitError.isEmpty())
        return {Method::RealtimeKit, priority, {}};
    return {Method::None, 0, directReason + QStringLiteral(", RealtimeKit: ") + kitError};
}

QString RealtimePriority::methodName(Method method) {
    switch (method) {
    case Method::Direct:
        return QStringLiteral("direct");
    case Method::RealtimeKit:
        return QStringLiteral("rtkit");
    case Method::None:
        break;
    }
    return QStringLiteral("none");
}

QString RealtimePriority::notice(const Outcome& outcome) {
    if (outcome.method != Method::None)
        return {};
    return QStringLiteral("Keine Echtzeit-Priorität für die Lichtschranken: %1. Unter Last "
                          "können Zeiten bis zu einigen Millisekunden spät gestempelt werden.")
        .arg(outcome.reason);
}
