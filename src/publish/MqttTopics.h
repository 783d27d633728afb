#pragma once

#include "live/LiveSnapshot.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <optional>

// What the broker keeps of a race: the topics and their payloads, built from the same state the
// live pages get, so that a subscriber and a page read the same JSON.
namespace MqttTopics {

// The retained topics under prefix: "state" (the state as the pages fetch it, with the
// program's clock at the moment it is built), "tabelle/stage0".."stage3", "tabelle/teams" and,
// with a cup open, "tabelle/cup", "freigabe" (whether the results of the race and of each
// class are official) and "ergebnis" once a result was entered. The state is
// compared without its clock, so the clock alone never sends it again.
struct Retained {
    QMap<QString, QByteArray> payloads;
    QString stateTopic;
    // The state without the clock's stamp, to tell whether anything changed.
    QByteArray stateBytes;
    // What tells whether a topic changed: its payload, the state without its stamp.
    QByteArray compared(const QString& topic) const {
        return topic == stateTopic ? stateBytes : payloads.value(topic);
    }
};
Retained retained(const LiveSnapshot& snapshot, const QString& prefix, double serverTimeMs);

// The event of the clock when its state moved from one to the other: "start", "stop" or
// "countdown" with the clock as the state holds it; nothing when it went back to ready or did
// not move.
std::optional<QByteArray> clockEvent(const LiveSnapshot::Clock& before,
                                     const LiveSnapshot::Clock& now, double serverTimeMs);

QString statusTopic(const QString& prefix);
QString clockTopic(const QString& prefix);
QString releaseTopic(const QString& prefix);

} // namespace MqttTopics
