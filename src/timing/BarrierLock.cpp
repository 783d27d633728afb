#include "timing/BarrierLock.h"

#include "timing/TickSource.h"

#include <limits>

BarrierLock::BarrierLock(const TickSource& ticks, qint32 intervalMs, QObject* parent)
    : QObject(parent), m_ticks(ticks), m_intervalMs(intervalMs) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &BarrierLock::timeout);
}

void BarrierLock::run(qint64 originMicroseconds) {
    if (m_intervalMs == 0 || m_timer.isActive())
        return;
    const qint64 deadline = originMicroseconds + static_cast<qint64>(m_intervalMs) * 1000;
    m_deadline = deadline;
    // The origin may lie in the past (a stamp carried with a line event), so the timer gets
    // only what is left of the interval, rounded up to whole milliseconds.
    const qint64 left = deadline - m_ticks.nowMicroseconds();
    const qint64 leftMs = left <= 0 ? 0 : (left + 999) / 1000;
    m_timer.start(static_cast<int>(qMin<qint64>(leftMs, std::numeric_limits<int>::max())));
}

void BarrierLock::restart(qint64 originMicroseconds) {
    stop();
    run(originMicroseconds);
}

void BarrierLock::stop() {
    m_timer.stop();
    m_deadline.reset();
}

void BarrierLock::expire() {
    m_timer.stop();
}

bool BarrierLock::blocks(qint64 stampMicroseconds) const {
    return m_timer.isActive() || (m_deadline && stampMicroseconds < *m_deadline);
}

bool BarrierLock::isDueBy(qint64 stampMicroseconds) const {
    return m_timer.isActive() && m_deadline && *m_deadline <= stampMicroseconds;
}
