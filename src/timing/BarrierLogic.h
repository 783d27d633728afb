#pragma once

#include "timing/BackupStopLogic.h"
#include "timing/BarrierLock.h"
#include "timing/LightBarrier.h"
#include "timing/TimingSettings.h"

#include <QObject>
#include <array>

class RunClock;

// Turns modem-line changes of the light barriers into run-clock commands. Each barrier has a
// free/blocked flag that the operator sees as a picture and can flip; the start and stop locks
// keep a barrier from acting for a while after each start. It follows the run clock's
// requests by itself; a window connects only the port events, the clicks and the pictures.
class BarrierLogic : public QObject {
    Q_OBJECT
public:
    // Modem-status bits of the three lines.
    static constexpr quint32 stopLineBit = 0x10;  // CTS
    static constexpr quint32 startLineBit = 0x20; // DSR
    static constexpr quint32 lapLineBit = 0x80;   // carrier detect
    // Event bits that tell which of them changed.
    static constexpr quint32 stopEventBit = 0x0008;  // EV_CTS
    static constexpr quint32 startEventBit = 0x0010; // EV_DSR
    static constexpr quint32 lapEventBit = 0x0020;   // EV_RLSD
    static constexpr quint32 initialModemStatus = 0x55555555;
    // Picture indices of the image list.
    static constexpr int blockedPicture = 0;
    static constexpr int freePicture = 1;

    explicit BarrierLogic(RunClock& clock, QObject* parent = nullptr);

    // "Alg", "LockTime" and "WaitStart" (the last only when above 0), "StuckLimit", and
    // System B's settings.
    void applySettings(const TimingSettings& settings);
    int alg() const { return m_alg; }
    qint32 lockTimeMs() const { return m_lockTimeMs; }
    qint32 stuckLimitMs() const { return m_stuckLimitMs; }
    qint32 waitStartMs() const { return m_startLock.intervalMs(); }

    bool isFree(LightBarrier barrier) const { return m_free[index(barrier)]; }
    int picture(LightBarrier barrier) const { return m_picture[index(barrier)]; }
    bool isImageVisible(LightBarrier barrier) const { return m_visible[index(barrier)]; }
    // F11 and F12.
    bool lockCommandsEnabled() const { return m_lockCommandsEnabled; }
    bool isStartLockRunning() const { return m_startLock.isRunning(); }
    bool isStopLockRunning() const { return m_stopLock.isRunning(); }
    // When the barrier's running lock runs out (the intermediate barrier has none).
    std::optional<qint64> lockDeadline(LightBarrier barrier) const;
    quint32 lastModemStatus() const { return m_lastModemStatus; }
    // System B on the ring-indicator line; it sees every line change first.
    BackupStopLogic& backupStop() { return m_backup; }
    const BackupStopLogic& backupStop() const { return m_backup; }

public Q_SLOTS:
    // One line change: which lines changed (event bits), all lines after it (modem-status
    // bits) and the stamp taken when it happened. A barrier acts only when its own line changed
    // to the level "Alg" makes active: on for "Ein" (0), off for "Aus" (1), never for others.
    // A line that stays active acts no more, whatever the other lines do; a repeated word
    // acts once.
    void portLinesChanged(quint32 changedEvents, quint32 status, qint64 stampMicroseconds);
    void portOpened();
    void portClosed();
    void barrierPictureClicked(LightBarrier barrier);
    // F11 (tag 0, start barrier) and F12 (tag 1, stop barrier).
    void toggleBarrierLock(int tag);
    void toggleBarrier(LightBarrier barrier);

    // Requests of the run clock.
    void blockStartBarrier(qint64 stampMicroseconds);
    void blockStopBarrier(qint64 stampMicroseconds);
    void restartStopLock(qint64 stampMicroseconds);
    void stopStartLock();
    void freeStartBarrier();
    void showIntermediateFree();

Q_SIGNALS:
    void pictureChanged(LightBarrier barrier, int picture);
    void imageVisibleChanged(LightBarrier barrier, bool visible);
    void barrierFreeChanged(LightBarrier barrier, bool free);
    // The operator flipped a barrier (its picture, F11 or F12), after the flip.
    void toggledByOperator(LightBarrier barrier, bool free);
    void lockCommandsEnabledChanged(bool enabled);

private:
    static int index(LightBarrier barrier) { return static_cast<int>(barrier); }
    void operatorToggle(LightBarrier barrier);
    void lockTimeOver(BarrierLock& lock);
    void catchUpLocks(qint64 stamp);
    void fireBarrierCommands(bool stopEdge, bool startEdge, bool lapEdge, qint64 stamp);
    void setPicture(LightBarrier barrier, int picture);
    void setImageVisible(LightBarrier barrier, bool visible);
    void setLockCommandsEnabled(bool enabled);

    RunClock& m_clock;
    int m_alg = 0;
    qint32 m_lockTimeMs = 5000;
    qint32 m_stuckLimitMs = 3000;
    quint32 m_lastModemStatus = initialModemStatus;
    std::array<bool, 3> m_free{false, false, false};
    std::array<int, 3> m_picture{blockedPicture, blockedPicture, blockedPicture};
    std::array<bool, 3> m_visible{false, false, false};
    bool m_lockCommandsEnabled = false;
    BarrierLock m_startLock; // TimerGesperrtStart
    BarrierLock m_stopLock;  // TimerGesperrtStop
    BackupStopLogic m_backup;
};
