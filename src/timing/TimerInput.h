#pragma once

#include "timing/TimerClockWatch.h"
#include "timing/TimerImpulse.h"
#include "timing/TimerLineParser.h"
#include "timing/TimerLineProfile.h"

#include <QObject>
#include <QSet>
#include <memory>

class BackupStopLogic;
class RunClock;

// A professional timer as a source of start, split, stop and System B stamps beside the light
// barriers: reads its lines by the chosen profile, recognises impulses it sends again (a memory
// read-out after a lost connection) and passes each new live impulse of an assigned channel to
// the run clock with the timer's own stamp. Impulses from the memory never move the clock: they
// are reported for entry from the journal. Every line is accounted for.
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
    const TimerLineProfile& profile() const { return m_parser->profile(); }
    Role roleOf(const QString& channel) const;
    const Counts& counts() const { return m_counts; }
    std::optional<qint64> drift() const { return m_clockWatch.drift(); }
    bool driftBeyondLimit() const { return m_driftTold; }

    static QString roleName(Role role);

public Q_SLOTS:
    // One line as the port delivered it, with the program clock when it came in.
    void takeLine(const QByteArray& line, qint64 arrival);

Q_SIGNALS:
    // Every impulse read, with its stamp on the program's clock and the arrival.
    void impulseRead(const TimerImpulse& impulse, TimerInput::Role role,
                     TimerInput::Arrival arrival, qint64 programStamp, qint64 arrivalStamp);
    void lineUnreadable(const QByteArray& line, const QString& reason, qint64 arrivalStamp);
    // The drift crossed the limit, either way.
    void driftChanged(qint64 driftMicroseconds, bool beyondLimit);

private:
    bool seenBefore(const TimerImpulse& impulse);
    void act(Role role, qint64 programStamp);
    void watchDrift();

    RunClock& m_clock;
    BackupStopLogic& m_backup;
    std::unique_ptr<TimerLineParser> m_parser;
    QString m_device;
    Channels m_channels;
    qint64 m_driftLimit = 100'000;
    bool m_driftTold = false;
    TimerClockWatch m_clockWatch;
    QSet<QString> m_seen;
    Counts m_counts;
};
