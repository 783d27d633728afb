#pragma once

#include "live/LiveSnapshot.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>

// The whole live state as JSON, for the pages and for other programs. The state is written
// once per change; the envelope adds the server's clock at the moment it is sent, so a page
// can run the time from the start stamp on its own.
namespace LiveStateDocument {

QJsonObject toJson(const LiveSnapshot& snapshot);
// The parts of the state, as toJson writes them.
QJsonObject tableJson(const LiveSnapshot::Table& table);
// {"<row>": {"<column>": "DNF"}, ...}: the marked cells of a table's rows.
QJsonObject marksJson(const QMap<int, QMap<int, QString>>& marks);
QJsonObject clockJson(const LiveSnapshot::Clock& clock);
QJsonArray top3Json(const QList<LiveSnapshot::Top3Row>& rows);
// null without a cup: {"name", "unit", "classes": [table, ...]}.
QJsonValue cupJson(const std::optional<LiveSnapshot::Cup>& cup);
// {"text": "Ergebnisse vorläufig", "official": false,
//  "classes": [{"class": "1", "official": true, "state": "offiziell"}, ...]}; "official" of the
// whole is true once every class with results is released.
QJsonObject releaseJson(const LiveSnapshot::Release& release);
QJsonValue lastResultJson(const std::optional<LiveSnapshot::Result>& result);
QJsonArray textsJson(const QStringList& cells);
// Compact UTF-8 of toJson.
QByteArray stateBytes(const LiveSnapshot& snapshot);
// {"serverTimeMs":<now>,"state":<state>,"wallTimeMs":<ms since 1970>} without parsing the state
// again; wallTimeMs is the computer's own clock at the same moment.
QByteArray envelope(const QByteArray& state, double serverTimeMs);
// The same with the state's version: the server's run ("epoch") and the count of its changes.
QByteArray envelope(const QByteArray& state, double serverTimeMs, const QByteArray& epoch,
                    qint64 version);

const char* clockStateName(LiveSnapshot::Clock::State state);

} // namespace LiveStateDocument
