#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <optional>

class BarrierLogic;
class TickSource;

// Tells a barrier whose line stays at its active level longer than the limit: a blocked beam
// or a welded contact would otherwise swallow the next start or stop without a trace. Time
// under the barrier's own lock does not count (a rider may stand in the stop beam after the
// stop); the notice goes when the line returns.
class StuckLineWatch : public QObject {
    Q_OBJECT
public:
    enum class Line { Start, Intermediate, Stop, Backup };
    static constexpr int LineCount = 4;
    static constexpr int CheckIntervalMs = 200;

    StuckLineWatch(BarrierLogic& barriers, const TickSource& ticks, QObject* parent = nullptr);

    // The port opened with these lines: a line already active counts from now.
    void reset(quint32 status, qint64 stampMicroseconds);
    // The port closed: no line is watched, nothing stays told.
    void clear();
    // One line change of the port (event bits, modem-status bits, stamp).
    void lineChanged(quint32 changedEvents, quint32 status, qint64 stampMicroseconds);
    // Looks whether a line has now been active too long; the timer calls it while one is.
    void check();

    bool isStuck(Line line) const { return m_stuck[index(line)]; }
    static QString barrierName(Line line);
    static QString stuckText(Line line) {
        return QStringLiteral("Lichtschranke dauerhaft ausgelöst: ") + barrierName(line);
    }

Q_SIGNALS:
    void stuckChanged(StuckLineWatch::Line line, bool stuck);

private:
    static int index(Line line) { return static_cast<int>(line); }
    bool isWatched(Line line) const;
    bool isActive(Line line, quint32 status) const;
    std::optional<qint64> lockDeadline(Line line) const;
    void setStuck(Line line, bool stuck);
    void follow(quint32 status, qint64 stamp);

    BarrierLogic& m_barriers;
    const TickSource& m_ticks;
    bool m_open = false;
    // Since when each line is active and not under its lock.
    std::array<std::optional<qint64>, LineCount> m_since{};
    std::array<bool, LineCount> m_stuck{};
    QTimer m_timer;
};
