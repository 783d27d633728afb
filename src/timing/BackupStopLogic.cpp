#include "timing/BackupStopLogic.h"

#include "timing/SerialPort.h"

static_assert(BackupStopLogic::lineBit == SerialPort::MS_RING_ON);
static_assert(BackupStopLogic::eventBit == SerialPort::EV_RING);

BackupStopLogic::BackupStopLogic(RunClock& clock, QObject* parent)
    : QObject(parent), m_clock(clock), m_lock(clock.tickSource(), m_lockTimeMs, this) {
    connect(&clock, &RunClock::commandTaken, this, &BackupStopLogic::commandTaken);
}

void BackupStopLogic::applySettings(const TimingSettings& settings) {
    m_enabled = settings.backupLine;
    m_alg = settings.alg;
    m_lockTimeMs = settings.backupLockTimeMs;
}

void BackupStopLogic::lineChanged(quint32 changedEvents, quint32 status, qint64 stamp) {
    // A lock whose deadline this change has passed has run out, however busy the window was.
    if (m_lock.isDueBy(stamp))
        m_lock.expire();
    if (!m_enabled || (changedEvents & eventBit) == 0 || (m_alg != 0 && m_alg != 1))
        return;
    const bool activeOn = m_alg == 0;
    if (((status & lineBit) != 0) != activeOn)
        return;
    takeStop(stamp);
}

void BackupStopLogic::takeStop(qint64 stamp) {
    if (m_lock.isDueBy(stamp))
        m_lock.expire();
    if (!m_current || m_current->stopB || m_lock.blocks(stamp) || stamp < m_current->start)
        return;
    m_current->stopB = stamp;
    Q_EMIT backupStopTaken(m_current->start, stamp);
    if (m_current->stopA)
        Q_EMIT differenceKnown(*m_current);
}

void BackupStopLogic::commandTaken(RunClock::Command command, qint64 stamp,
                                   RunClock::Origin origin) {
    switch (command) {
    case RunClock::Command::Start:
        finishRun();
        m_current = RunStops{stamp, std::nullopt, std::nullopt};
        m_lock.setIntervalMs(m_lockTimeMs);
        m_lock.restart(stamp);
        break;
    case RunClock::Command::Stop:
        // A stop by key is a hand time: it says nothing about how the two systems differ.
        if (m_current &&
            (origin == RunClock::Origin::Barrier || origin == RunClock::Origin::Timer)) {
            m_current->stopA = stamp;
            if (m_current->stopB)
                Q_EMIT differenceKnown(*m_current);
        }
        break;
    case RunClock::Command::Enter:
    case RunClock::Command::Reset:
    case RunClock::Command::NotFinished:
        finishRun();
        break;
    case RunClock::Command::Timer:
    case RunClock::Command::Lap:
        break;
    }
}

void BackupStopLogic::finishRun() {
    if (m_current)
        m_finished.append(*m_current);
    m_current.reset();
}
