#pragma once

#include "timing/BarrierLock.h"
#include "timing/RunClock.h"
#include "timing/RunStops.h"
#include "timing/TimingSettings.h"

#include <QList>
#include <QObject>

// System B: a fourth contact on the ring-indicator line (a second stop barrier or a hand push
// button) that stamps each run's stop beside the stop barrier's, without ever stopping the
// clock itself. It follows the same rules as the other barriers: it acts only on its own edge
// to the level "Alg" makes active, and not while its lock runs, which starts with every run.
// The first B stop of a run counts; the run ends for it with its entry or reset.
class BackupStopLogic : public QObject {
    Q_OBJECT
public:
    // Modem-status and event bits of the ring-indicator line.
    static constexpr quint32 lineBit = 0x40;    // RING on
    static constexpr quint32 eventBit = 0x0100; // EV_RING

    explicit BackupStopLogic(RunClock& clock, QObject* parent = nullptr);

    // "BLine", "BLockTime" and "Alg".
    void applySettings(const TimingSettings& settings);
    bool isEnabled() const { return m_enabled; }
    bool isLockRunning() const { return m_lock.isRunning(); }
    std::optional<qint64> lockDeadline() const { return m_lock.runningDeadline(); }

    // The run under way (or stopped and not yet entered), if any.
    std::optional<RunStops> currentRun() const { return m_current; }
    // Every run of this session that ended, in the order they were run.
    const QList<RunStops>& finishedRuns() const { return m_finished; }

public Q_SLOTS:
    // One line change of the port, as BarrierLogic::portLinesChanged takes it.
    void lineChanged(quint32 changedEvents, quint32 status, qint64 stampMicroseconds);
    // A System B stop from a professional timer's channel: the same rules without a line level.
    void takeStop(qint64 stampMicroseconds);

Q_SIGNALS:
    // System B stopped the run begun at runStart.
    void backupStopTaken(qint64 runStart, qint64 stopB);
    // The run has both stops now: A minus B is known.
    void differenceKnown(const RunStops& run);

private:
    void commandTaken(RunClock::Command command, qint64 stamp, RunClock::Origin origin);
    void finishRun();

    RunClock& m_clock;
    bool m_enabled = false;
    int m_alg = 0;
    qint32 m_lockTimeMs = 5000;
    BarrierLock m_lock;
    std::optional<RunStops> m_current;
    QList<RunStops> m_finished;
};
