#include "FakeRealtimeSystem.h"

int FakeRealtimeSystem::realtimePriorityLimit() {
    return m_script.rtprioLimit;
}

int FakeRealtimeSystem::setFifo(qint64 thread, int priority) {
    m_calls.append(QStringLiteral("fifo %1 %2").arg(thread > 0 ? "tid" : "0").arg(priority));
    return m_script.fifoResult;
}

std::optional<RealtimeSystem::KitLimits> FakeRealtimeSystem::realtimeKitLimits(QString* error) {
    m_calls.append(QStringLiteral("kit limits"));
    if (!m_script.kit)
        *error = m_script.kitError;
    return m_script.kit;
}

int FakeRealtimeSystem::limitRealtimeRuntime(qint64 microseconds) {
    m_calls.append(QStringLiteral("rttime %1").arg(microseconds));
    return m_script.runtimeResult;
}

QString FakeRealtimeSystem::makeThreadRealtime(qint64 thread, int priority) {
    m_calls.append(QStringLiteral("kit %1 %2").arg(thread > 0 ? "tid" : "0").arg(priority));
    return m_script.makeError;
}
