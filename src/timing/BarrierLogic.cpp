#include "timing/BarrierLogic.h"

#include "timing/RunClock.h"
#include "timing/SerialPort.h"

static_assert(BarrierLogic::stopLineBit == SerialPort::MS_CTS_ON);
static_assert(BarrierLogic::startLineBit == SerialPort::MS_DSR_ON);
static_assert(BarrierLogic::lapLineBit == SerialPort::MS_RLSD_ON);
static_assert(BarrierLogic::stopEventBit == SerialPort::EV_CTS);
static_assert(BarrierLogic::startEventBit == SerialPort::EV_DSR);
static_assert(BarrierLogic::lapEventBit == SerialPort::EV_RLSD);

BarrierLogic::BarrierLogic(RunClock& clock, QObject* parent)
    : QObject(parent), m_clock(clock), m_startLock(clock.tickSource(), 5000, this),
      m_stopLock(clock.tickSource(), m_lockTimeMs, this), m_backup(clock) {
    connect(&m_startLock, &BarrierLock::timeout, this, [this] { lockTimeOver(m_startLock); });
    connect(&m_stopLock, &BarrierLock::timeout, this, [this] { lockTimeOver(m_stopLock); });

    connect(&clock, &RunClock::blockStartBarrierRequested, this, &BarrierLogic::blockStartBarrier);
    connect(&clock, &RunClock::stopLockRestartRequested, this, &BarrierLogic::restartStopLock);
    connect(&clock, &RunClock::intermediatePictureFreeRequested, this,
            &BarrierLogic::showIntermediateFree);
    connect(&clock, &RunClock::startLockStopRequested, this, &BarrierLogic::stopStartLock);
    connect(&clock, &RunClock::blockStopBarrierRequested, this, &BarrierLogic::blockStopBarrier);
    connect(&clock, &RunClock::freeStartBarrierRequested, this, &BarrierLogic::freeStartBarrier);
}

void BarrierLogic::applySettings(const TimingSettings& settings) {
    m_alg = settings.alg;
    m_lockTimeMs = settings.lockTimeMs;
    m_stuckLimitMs = settings.stuckLimitMs;
    m_backup.applySettings(settings);
    if (settings.waitStartMs > 0)
        m_startLock.setIntervalMs(settings.waitStartMs);
}

void BarrierLogic::portLinesChanged(quint32 changedEvents, quint32 status,
                                    qint64 stampMicroseconds) {
    catchUpLocks(stampMicroseconds);
    m_backup.lineChanged(changedEvents, status, stampMicroseconds);
    if (status == m_lastModemStatus)
        return;
    m_lastModemStatus = status;
    if (m_alg != 0 && m_alg != 1)
        return;
    // Every change the monitor reports flips its lines once (a bounce's extra edges go with
    // the step that ends it), so a changed line at its active level has just become active.
    const bool activeOn = m_alg == 0;
    const auto edgeToActive = [&](quint32 eventBit, quint32 lineBit) {
        return (changedEvents & eventBit) != 0 && ((status & lineBit) != 0) == activeOn;
    };
    fireBarrierCommands(edgeToActive(stopEventBit, stopLineBit),
                        edgeToActive(startEventBit, startLineBit),
                        edgeToActive(lapEventBit, lapLineBit), stampMicroseconds);
}

void BarrierLogic::fireBarrierCommands(bool stopEdge, bool startEdge, bool lapEdge, qint64 stamp) {
    if (stopEdge && !m_stopLock.blocks(stamp) && isFree(LightBarrier::Stop))
        m_clock.stopAt(stamp);
    if (startEdge && !m_startLock.blocks(stamp) && isFree(LightBarrier::Start))
        m_clock.startAt(stamp);
    if (lapEdge && isFree(LightBarrier::Intermediate))
        m_clock.lapAt(stamp);
}

void BarrierLogic::catchUpLocks(qint64 stamp) {
    // A lock whose deadline this line change has passed runs out first, as it would have
    // had the window not been busy when its timer was due.
    if (m_startLock.isDueBy(stamp))
        lockTimeOver(m_startLock);
    if (m_stopLock.isDueBy(stamp))
        lockTimeOver(m_stopLock);
}

std::optional<qint64> BarrierLogic::lockDeadline(LightBarrier barrier) const {
    switch (barrier) {
    case LightBarrier::Start:
        return m_startLock.runningDeadline();
    case LightBarrier::Stop:
        return m_stopLock.runningDeadline();
    case LightBarrier::Intermediate:
        break;
    }
    return std::nullopt;
}

void BarrierLogic::portOpened() {
    setImageVisible(LightBarrier::Start, true);
    setImageVisible(LightBarrier::Stop, true);
    setImageVisible(LightBarrier::Intermediate, m_clock.controlStates().lapVisible);
    setLockCommandsEnabled(true);
}

void BarrierLogic::portClosed() {
    setImageVisible(LightBarrier::Start, false);
    setImageVisible(LightBarrier::Intermediate, false);
    setImageVisible(LightBarrier::Stop, false);
    setLockCommandsEnabled(false);
}

void BarrierLogic::barrierPictureClicked(LightBarrier barrier) {
    if (isImageVisible(barrier))
        operatorToggle(barrier);
}

void BarrierLogic::toggleBarrierLock(int tag) {
    if (!m_lockCommandsEnabled)
        return;
    if (tag == 0)
        operatorToggle(LightBarrier::Start);
    else if (tag == 1)
        operatorToggle(LightBarrier::Stop);
}

void BarrierLogic::operatorToggle(LightBarrier barrier) {
    toggleBarrier(barrier);
    Q_EMIT toggledByOperator(barrier, isFree(barrier));
}

void BarrierLogic::toggleBarrier(LightBarrier barrier) {
    const int i = index(barrier);
    m_free[i] = !m_free[i];
    Q_EMIT barrierFreeChanged(barrier, m_free[i]);
    setPicture(barrier, m_free[i] ? freePicture : blockedPicture);
}

void BarrierLogic::blockStartBarrier(qint64 stampMicroseconds) {
    m_startLock.run(stampMicroseconds);
    if (isFree(LightBarrier::Start))
        toggleBarrier(LightBarrier::Start);
}

void BarrierLogic::blockStopBarrier(qint64 stampMicroseconds) {
    m_stopLock.run(stampMicroseconds);
    if (isFree(LightBarrier::Stop))
        toggleBarrier(LightBarrier::Stop);
    setPicture(LightBarrier::Intermediate, blockedPicture);
}

void BarrierLogic::restartStopLock(qint64 stampMicroseconds) {
    m_stopLock.setIntervalMs(m_lockTimeMs);
    m_stopLock.restart(stampMicroseconds);
}

void BarrierLogic::stopStartLock() {
    m_startLock.stop();
}

void BarrierLogic::freeStartBarrier() {
    if (!isFree(LightBarrier::Start))
        toggleBarrier(LightBarrier::Start);
}

void BarrierLogic::showIntermediateFree() {
    setPicture(LightBarrier::Intermediate, freePicture);
}

void BarrierLogic::lockTimeOver(BarrierLock& lock) {
    lock.expire();
    if (&lock == &m_startLock) {
        if (!isFree(LightBarrier::Start) && m_clock.isAvailable(TimingButton::Start))
            toggleBarrier(LightBarrier::Start);
    } else if (!isFree(LightBarrier::Stop) && m_clock.isAvailable(TimingButton::Stop)) {
        toggleBarrier(LightBarrier::Stop);
    }
}

void BarrierLogic::setPicture(LightBarrier barrier, int picture) {
    const int i = index(barrier);
    if (m_picture[i] == picture)
        return;
    m_picture[i] = picture;
    Q_EMIT pictureChanged(barrier, picture);
}

void BarrierLogic::setImageVisible(LightBarrier barrier, bool visible) {
    const int i = index(barrier);
    if (m_visible[i] == visible)
        return;
    m_visible[i] = visible;
    Q_EMIT imageVisibleChanged(barrier, visible);
}

void BarrierLogic::setLockCommandsEnabled(bool enabled) {
    if (m_lockCommandsEnabled == enabled)
        return;
    m_lockCommandsEnabled = enabled;
    Q_EMIT lockCommandsEnabledChanged(enabled);
}
