#pragma once

#include "platform/RealtimeSystem.h"

#include <memory>

// The real scheduling calls: sched_setscheduler and the resource limits of the kernel, and
// RealtimeKit (org.freedesktop.RealtimeKit1) on the system bus. Every bus call has a short
// time-out, so a machine without a system bus or without RealtimeKit costs no hang.
class LinuxRealtimeSystem final : public RealtimeSystem {
public:
    static constexpr int BusTimeoutMs = 1000;

    static std::shared_ptr<RealtimeSystem> instance();

    int realtimePriorityLimit() override;
    int setFifo(qint64 thread, int priority) override;
    std::optional<KitLimits> realtimeKitLimits(QString* error) override;
    int limitRealtimeRuntime(qint64 microseconds) override;
    QString makeThreadRealtime(qint64 thread, int priority) override;
};
