#include "timing/StuckLineWatch.h"

#include "timing/BarrierLogic.h"
#include "timing/TickSource.h"

namespace {

constexpr std::array<quint32, StuckLineWatch::LineCount> StatusBits{
    BarrierLogic::startLineBit, BarrierLogic::lapLineBit, BarrierLogic::stopLineBit,
    BackupStopLogic::lineBit};

} // namespace

StuckLineWatch::StuckLineWatch(BarrierLogic& barriers, const TickSource& ticks, QObject* parent)
    : QObject(parent), m_barriers(barriers), m_ticks(ticks) {
    m_timer.setInterval(CheckIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &StuckLineWatch::check);
}

QString StuckLineWatch::barrierName(Line line) {
    switch (line) {
    case Line::Start:
        return QStringLiteral("Start-LS");
    case Line::Intermediate:
        return QStringLiteral("Zwischen-LS");
    case Line::Stop:
        return QStringLiteral("Stopp-LS");
    case Line::Backup:
        break;
    }
    return QStringLiteral("Stopp-LS B");
}

void StuckLineWatch::reset(quint32 status, qint64 stamp) {
    m_open = true;
    m_since.fill(std::nullopt);
    follow(status, stamp);
}

void StuckLineWatch::clear() {
    m_open = false;
    m_since.fill(std::nullopt);
    m_timer.stop();
    for (int i = 0; i < LineCount; ++i)
        setStuck(static_cast<Line>(i), false);
}

void StuckLineWatch::lineChanged(quint32, quint32 status, qint64 stamp) {
    if (m_open)
        follow(status, stamp);
}

void StuckLineWatch::follow(quint32 status, qint64 stamp) {
    bool anyActive = false;
    for (int i = 0; i < LineCount; ++i) {
        const auto line = static_cast<Line>(i);
        if (!isWatched(line) || !isActive(line, status)) {
            m_since[i].reset();
            setStuck(line, false);
            continue;
        }
        if (!m_since[i])
            m_since[i] = stamp;
        anyActive = true;
    }
    if (anyActive && !m_timer.isActive())
        m_timer.start();
    else if (!anyActive)
        m_timer.stop();
}

void StuckLineWatch::check() {
    const qint64 now = m_ticks.nowMicroseconds();
    for (int i = 0; i < LineCount; ++i) {
        const auto line = static_cast<Line>(i);
        if (!m_since[i])
            continue;
        if (!isWatched(line)) {
            m_since[i].reset();
            setStuck(line, false);
            continue;
        }
        // The lock's time is not the line's fault: count from when it runs out.
        if (const std::optional<qint64> end = lockDeadline(line); end && *end > *m_since[i])
            m_since[i] = *end;
        if (now - *m_since[i] > static_cast<qint64>(m_barriers.stuckLimitMs()) * 1000)
            setStuck(line, true);
    }
}

bool StuckLineWatch::isWatched(Line line) const {
    switch (line) {
    case Line::Intermediate:
        // Without "Zwischen" the line may well be open and unwired.
        return m_barriers.isImageVisible(LightBarrier::Intermediate);
    case Line::Backup:
        return m_barriers.backupStop().isEnabled();
    case Line::Start:
    case Line::Stop:
        break;
    }
    return true;
}

bool StuckLineWatch::isActive(Line line, quint32 status) const {
    const int alg = m_barriers.alg();
    if (alg != 0 && alg != 1)
        return false;
    return ((status & StatusBits[index(line)]) != 0) == (alg == 0);
}

std::optional<qint64> StuckLineWatch::lockDeadline(Line line) const {
    switch (line) {
    case Line::Start:
        return m_barriers.lockDeadline(LightBarrier::Start);
    case Line::Stop:
        return m_barriers.lockDeadline(LightBarrier::Stop);
    case Line::Backup:
        return m_barriers.backupStop().lockDeadline();
    case Line::Intermediate:
        break;
    }
    return std::nullopt;
}

void StuckLineWatch::setStuck(Line line, bool stuck) {
    if (m_stuck[index(line)] == stuck)
        return;
    m_stuck[index(line)] = stuck;
    Q_EMIT stuckChanged(line, stuck);
}
