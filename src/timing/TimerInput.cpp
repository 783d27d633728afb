#include "timing/TimerInput.h"

#include "timing/BackupStopLogic.h"
#include "timing/RunClock.h"

#include <QMetaObject>

#include <cstdlib>

TimerInput::TimerInput(RunClock& clock, BackupStopLogic& backup, QObject* parent)
    : QObject(parent), m_clock(clock), m_backup(backup),
      m_parser(std::make_unique<TimerLineParser>(TimerLineProfile::builtIn().front())) {
    m_running = clock.state() != RunClock::State::Ready;
    connect(&clock, &RunClock::stateChanged, this,
            [this](RunClock::State state) { m_running = state != RunClock::State::Ready; });
    connect(&clock, &RunClock::commandTaken, this,
            [this](RunClock::Command command, qint64, RunClock::Origin origin) {
                if (command == RunClock::Command::Start)
                    m_startedHere = origin == RunClock::Origin::Timer;
            });
}

TimerInput::~TimerInput() = default;

void TimerInput::configure(const TimerLineProfile& profile, const QString& device,
                           const Channels& channels, qint64 driftLimitMicroseconds) {
    const std::lock_guard lock(m_mutex);
    const bool sameTimer = profile.id == m_parser->profile().id && device == m_device;
    m_channels = channels;
    m_driftLimit = driftLimitMicroseconds;
    if (sameTimer)
        return;
    m_parser = std::make_unique<TimerLineParser>(profile);
    m_device = device;
    m_seen.clear();
    m_clockWatch.reset();
    m_counts = Counts{};
    m_driftTold = false;
}

TimerLineProfile TimerInput::profile() const {
    const std::lock_guard lock(m_mutex);
    return m_parser->profile();
}

TimerInput::Counts TimerInput::counts() const {
    const std::lock_guard lock(m_mutex);
    return m_counts;
}

std::optional<qint64> TimerInput::drift() const {
    const std::lock_guard lock(m_mutex);
    return m_clockWatch.drift();
}

bool TimerInput::driftBeyondLimit() const {
    const std::lock_guard lock(m_mutex);
    return m_driftTold;
}

TimerInput::Role TimerInput::roleOf(const QString& channel) const {
    const QString base = TimerLineProfile::baseChannel(channel);
    const auto is = [&base](const QString& assigned) {
        return !assigned.isEmpty() && TimerLineProfile::baseChannel(assigned) == base;
    };
    if (is(m_channels.start))
        return Role::Start;
    if (is(m_channels.stop))
        return Role::Stop;
    if (is(m_channels.split))
        return Role::Split;
    if (is(m_channels.backupStop))
        return Role::BackupStop;
    return Role::None;
}

QString TimerInput::roleName(Role role) {
    switch (role) {
    case Role::Start:
        return QStringLiteral("Start");
    case Role::Split:
        return QStringLiteral("Zwischen");
    case Role::Stop:
        return QStringLiteral("Stopp");
    case Role::BackupStop:
        return QStringLiteral("Stopp B");
    case Role::None:
        break;
    }
    return QStringLiteral("nicht zugeordnet");
}

void TimerInput::takeLine(const QByteArray& line, qint64 arrivalStamp) {
    std::unique_lock lock(m_mutex);
    const TimerLineParser::Line read = m_parser->parse(line);
    if (read.kind == TimerLineParser::Line::Kind::Ignored) {
        ++m_counts.ignored;
        return;
    }
    if (read.kind == TimerLineParser::Line::Kind::Unreadable) {
        lock.unlock();
        Q_EMIT lineUnreadable(line, read.reason, arrivalStamp);
        lock.lock();
        ++m_counts.unreadable;
        return;
    }
    const TimerImpulse& impulse = read.impulse;
    const Role role = roleOf(impulse.channel);
    const bool repeated = seenBefore(impulse);
    // A run's stamps all go through one offset: it follows the clocks only at an impulse that
    // belongs to no run under way, and never at one sent again.
    const bool fixed = repeated || m_running.load() || role == Role::Stop || role == Role::Split ||
                       role == Role::BackupStop;
    const TimerClockWatch::Reading reading =
        m_clockWatch.take(impulse.continuousStamp() * 100, arrivalStamp, fixed);
    const Arrival arrival = repeated             ? Arrival::Repeated
                            : reading.fromMemory ? Arrival::FromMemory
                                                 : Arrival::Live;
    const auto crossing = arrival == Arrival::Live ? driftCrossing() : std::nullopt;
    lock.unlock();
    // Journaled before the clock acts, as a barrier's line change is.
    Q_EMIT impulseRead(impulse, role, arrival, reading.programStamp, arrivalStamp);
    if (arrival == Arrival::Live) {
        // A run started by hand is timed on the PC's clock to its end: a stop or split of this
        // timer counts there when its line came in, never as a timer stamp against a PC one.
        const bool pcRun = m_running.load() && !m_startedHere.load() && role != Role::Start;
        const qint64 stamp = pcRun ? arrivalStamp : reading.programStamp;
        QMetaObject::invokeMethod(this, [this, role, stamp] { act(role, stamp); });
    }
    if (crossing)
        Q_EMIT driftChanged(crossing->first, crossing->second);
    // Counted once what it causes is under way, so whoever sees the count sees that too.
    lock.lock();
    ++(repeated ? m_counts.repeated : m_counts.impulses);
    if (arrival == Arrival::FromMemory)
        ++m_counts.fromMemory;
}

bool TimerInput::seenBefore(const TimerImpulse& impulse) {
    // The start number is left out: a timer may send an impulse first without one and give
    // it its number in the read-out. The channel, index and stamp make one impulse.
    const QString key = TimerLineProfile::baseChannel(impulse.channel) + u'|' +
                        QString::number(impulse.index) + u'|' +
                        QString::number(impulse.continuousStamp());
    if (m_seen.contains(key))
        return true;
    m_seen.insert(key);
    return false;
}

void TimerInput::act(Role role, qint64 stamp) {
    switch (role) {
    case Role::Start:
        m_clock.startAt(stamp, RunClock::Origin::Timer);
        break;
    case Role::Split:
        m_clock.lapAt(stamp, RunClock::Origin::Timer);
        break;
    case Role::Stop:
        m_clock.stopAt(stamp, RunClock::Origin::Timer);
        break;
    case Role::BackupStop:
        m_backup.takeStop(stamp);
        break;
    case Role::None:
        break;
    }
}

std::optional<std::pair<qint64, bool>> TimerInput::driftCrossing() {
    const std::optional<qint64> now = m_clockWatch.drift();
    if (!now)
        return std::nullopt;
    const bool beyond = std::llabs(*now) > m_driftLimit;
    if (beyond == m_driftTold)
        return std::nullopt;
    m_driftTold = beyond;
    return std::make_pair(*now, beyond);
}
