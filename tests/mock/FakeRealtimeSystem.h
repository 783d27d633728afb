#pragma once

#include "platform/RealtimeSystem.h"

#include <QStringList>

#include <cerrno>

// A scripted kernel and RealtimeKit: what each call answers, and a log of the calls made.
class FakeRealtimeSystem final : public RealtimeSystem {
public:
    struct Script {
        int rtprioLimit = 0;
        int fifoResult = -EPERM;
        std::optional<KitLimits> kit; // nothing: RealtimeKit cannot be asked
        QString kitError = QStringLiteral("The name is not activatable");
        int runtimeResult = 0;
        QString makeError; // empty: MakeThreadRealtime succeeds
    };

    // Refuses SCHED_FIFO and has no RealtimeKit, as for an ordinary user without a desktop.
    FakeRealtimeSystem() = default;
    explicit FakeRealtimeSystem(Script script) : m_script(std::move(script)) {}

    QStringList calls() const { return m_calls; }

    int realtimePriorityLimit() override;
    int setFifo(qint64 thread, int priority) override;
    std::optional<KitLimits> realtimeKitLimits(QString* error) override;
    int limitRealtimeRuntime(qint64 microseconds) override;
    QString makeThreadRealtime(qint64 thread, int priority) override;

private:
    Script m_script;
    QStringList m_calls;
};
