#pragma once

#include "timing/TimerClockWatch.h"
#include "timing/TimerImpulse.h"
#include "timing/TimerLineParser.h"
#include "timing/TimerLineProfile.h"

#include <QObject>
#include <QSet>
#include <atomic>
#include <memory>
#include <mutex>

class BackupStopLogic;
class RunClock;

// A professional timer as a source of start, split, stop and System B stamps beside the light
// barriers: reads its lines by the chosen profile, recognises impulses it sends again (a memory
// read-out after a lost connection) and passes each new live impulse of an assigned channel to
// the run clock with the timer's own stamp. Impulses from the memory never move the clock: they
// are reported for entry from the journal. Every line is accounted for.
// takeLine may be called on the port's reader thread: a line is read, and impulseRead emitted,
// there (a direct connection journals it at once, whatever the window does); the clock acts on
// this object's thread.
class TimerInput : public QObject {
    Q_OBJECT
public:
    enum class Role { None, Start, Split, Stop, BackupStop };
    Q_ENUM(Role)
    enum class Arrival { Live, FromMemory, Repeated };
    Q_ENUM(Arrival)

    struct Channels {
        QString start;
        QString split;
        QString stop;
        QString backupStop;
    };

    struct Counts {
        int impulses = 0; // new ones, live or from the memory
        int fromMemory = 0;
        int repeated = 0;
        int unreadable = 0;
        int ignored = 0;
    };

    TimerInput(RunClock& clock, BackupStopLogic& backup, QObject* parent = nullptr);
    ~TimerInput() override;

    // Another profile or device starts over: nothing of the last one is taken as repeated.
    void configure(const TimerLineProfile& profile, const QString& device, const Channels& channels,
                   qint64 driftLimitMicroseconds);
    TimerLineProfile profile() const;
    Counts counts() const;
    std::optional<qint64> drift() const;
    bool driftBeyondLimit() const;

    static QString roleName(Role role);

public Q_SLOTS:
    // One line as the port delivered it, with the program clock when it came in; on any one
    // thread at a time.
    void takeLine(const QByteArray& line, qint64 arrival);

Q_SIGNALS:
    // Every impulse read, with its stamp on the program's clock and the arrival; emitted on the
    // thread that took the line, before the clock acts.
    void impulseRead(const TimerImpulse& impulse, TimerInput::Role role,
                     TimerInput::Arrival arrival, qint64 programStamp, qint64 arrivalStamp);
    void lineUnreadable(const QByteArray& line, const QString& reason, qint64 arrivalStamp);
    // The drift crossed the limit, either way.
    void driftChanged(qint64 driftMicroseconds, bool beyondLimit);

private:
    Role roleOf(const QString& channel) const;
    bool seenBefore(const TimerImpulse& impulse);
    void act(Role role, qint64 programStamp);
    std::optional<std::pair<qint64, bool>> driftCrossing();

    RunClock& m_clock;
    BackupStopLogic& m_backup;
    // What the reader thread may know of the clock: whether a run is under way, and whether
    // this timer started it.
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_startedHere{false};
    mutable std::mutex m_mutex; // everything below
    std::unique_ptr<TimerLineParser> m_parser;
    QString m_device;
    Channels m_channels;
    qint64 m_driftLimit = 100'000;
    bool m_driftTold = false;
    TimerClockWatch m_clockWatch;
    QSet<QString> m_seen;
    Counts m_counts;
};
