#pragma once

#include "live/LiveEvent.h"
#include "live/LiveSnapshot.h"

#include <QList>
#include <deque>
#include <memory>
#include <optional>

// The states the live server has published, as versions: the current state and the recent
// changes as stream events, so that a page that was away for a moment gets what it missed
// instead of the whole state. Versions count from 0 for each server run, named by a random
// epoch, so a page from an earlier run is never given changes of another.
class LiveEventLog {
public:
    using EventPtr = std::shared_ptr<const LiveEvent>;

    static constexpr int maxKeptEvents = 256;
    static constexpr qint64 maxKeptBytes = 4 * 1024 * 1024;

    LiveEventLog();

    QByteArray epoch() const { return m_epoch; }
    qint64 version() const { return m_version; }
    // "<epoch>-<version>", the id the events carry.
    QByteArray id() const { return idOf(m_version); }
    QByteArray idOf(qint64 version) const;
    // The version named by an id of this run; nothing for another run or nonsense.
    std::optional<qint64> versionOf(const QByteArray& id) const;
    const LiveSnapshot& snapshot() const { return m_snapshot; }

    // Takes a new state; the event of its change, or null when nothing changed.
    EventPtr publish(const LiveSnapshot& snapshot, double serverTimeMs);
    // The whole state as JSON and as a stream event, made once per version.
    QByteArray stateBytes();
    EventPtr stateEvent(double serverTimeMs);
    // The change events after a version, oldest first; nothing when they are not all kept.
    std::optional<QList<EventPtr>> since(qint64 version) const;

private:
    QByteArray m_epoch;
    qint64 m_version = 0;
    LiveSnapshot m_snapshot;
    QByteArray m_stateBytes; // empty until asked for, per version
    EventPtr m_stateEvent;
    std::deque<EventPtr> m_history;
    qint64 m_historyBytes = 0;
};
