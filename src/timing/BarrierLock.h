#pragma once

#include <QObject>
#include <QTimer>
#include <optional>

class TickSource;

// One light-barrier lock: a timer that runs out a fixed time after the stamp that started it,
// and that stamp's deadline, so that a line change is judged by when it happened rather than
// by when the busy window got round to it.
class BarrierLock : public QObject {
    Q_OBJECT
public:
    BarrierLock(const TickSource& ticks, qint32 intervalMs, QObject* parent = nullptr);

    qint32 intervalMs() const { return m_intervalMs; }
    void setIntervalMs(qint32 intervalMs) { m_intervalMs = intervalMs; }

    // Runs the lock from the stamp unless it runs already (it keeps its count then) or its
    // interval is 0.
    void run(qint64 originMicroseconds);
    // Stops the lock and runs it afresh from the stamp (not at all with interval 0).
    void restart(qint64 originMicroseconds);
    // The program stops the lock: it no longer blocks anything.
    void stop();
    // The lock ran out: the timer stops, line changes from before the deadline stay blocked.
    void expire();

    bool isRunning() const { return m_timer.isActive(); }
    // Whether a line change at this stamp falls under the lock.
    bool blocks(qint64 stampMicroseconds) const;
    // When the running lock runs out; nothing when it does not run.
    std::optional<qint64> runningDeadline() const {
        return isRunning() ? m_deadline : std::nullopt;
    }
    // Whether the lock is still running although this stamp lies past its deadline.
    bool isDueBy(qint64 stampMicroseconds) const;

Q_SIGNALS:
    void timeout();

private:
    const TickSource& m_ticks;
    qint32 m_intervalMs;
    std::optional<qint64> m_deadline;
    QTimer m_timer;
};
