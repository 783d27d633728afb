#include "timing/TimerInput.h"

#include "timing/BackupStopLogic.h"
#include "timing/RunClock.h"

#include <cstdlib>

TimerInput::TimerInput(RunClock& clock, BackupStopLogic& backup, QObject* parent)
    : QObject(parent), m_clock(clock), m_backup(backup),
      m_parser(std::make_unique<TimerLineParser>(TimerLineProfile::builtIn().front())) {}

TimerInput::~TimerInput() = default;

void TimerInput::configure(const TimerLineProfile& profile, const QString& device,
                           const Channels& channels, qint64 driftLimitMicroseconds) {
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

void TimerInput::takeLine(const QByteArray& line, qint64 arrival) {
    const TimerLineParser::Line read = m_parser->parse(line);
    switch (read.kind) {
    case TimerLineParser::Line::Kind::Ignored:
        ++m_counts.ignored;
        return;
    case TimerLineParser::Line::Kind::Unreadable:
        ++m_counts.unreadable;
        Q_EMIT lineUnreadable(line, read.reason, arrival);
        return;
    case TimerLineParser::Line::Kind::Impulse:
        break;
    }
    const TimerImpulse& impulse = read.impulse;
    const Role role = roleOf(impulse.channel);
    const bool repeated = seenBefore(impulse);
    // A run's stamps all go through one offset; an impulse sent again says nothing new of it.
    const bool fixed = repeated || m_clock.state() != RunClock::State::Ready;
    const TimerClockWatch::Reading reading =
        m_clockWatch.take(impulse.continuousStamp() * 100, arrival, fixed);
    if (repeated) {
        ++m_counts.repeated;
        Q_EMIT impulseRead(impulse, role, Arrival::Repeated, reading.programStamp, arrival);
        return;
    }
    ++m_counts.impulses;
    if (reading.fromMemory) {
        ++m_counts.fromMemory;
        Q_EMIT impulseRead(impulse, role, Arrival::FromMemory, reading.programStamp, arrival);
        return;
    }
    // Journaled before the clock acts, as a barrier's line change is.
    Q_EMIT impulseRead(impulse, role, Arrival::Live, reading.programStamp, arrival);
    act(role, reading.programStamp);
    watchDrift();
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

void TimerInput::watchDrift() {
    const std::optional<qint64> now = m_clockWatch.drift();
    if (!now)
        return;
    const bool beyond = std::llabs(*now) > m_driftLimit;
    if (beyond == m_driftTold)
        return;
    m_driftTold = beyond;
    Q_EMIT driftChanged(*now, beyond);
}
