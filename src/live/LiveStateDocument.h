#pragma once

#include "live/LiveSnapshot.h"

#include <QByteArray>
#include <QJsonObject>

// The whole live state as JSON, for the pages and for other programs. The state is written
// once per change; the envelope adds the server's clock at the moment it is sent, so a page
// can run the time from the start stamp on its own.
namespace LiveStateDocument {

QJsonObject toJson(const LiveSnapshot& snapshot);
// Compact UTF-8 of toJson.
QByteArray stateBytes(const LiveSnapshot& snapshot);
// {"serverTimeMs":<now>,"state":<state>} without parsing the state again.
QByteArray envelope(const QByteArray& state, double serverTimeMs);

const char* clockStateName(LiveSnapshot::Clock::State state);

} // namespace LiveStateDocument
