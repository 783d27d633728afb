#include "publish/MqttTopics.h"

#include "live/LiveStateDocument.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QByteArray compact(const QJsonValue& value) {
    if (value.isObject())
        return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    return "null";
}

} // namespace

namespace MqttTopics {

QString statusTopic(const QString& prefix) {
    return prefix + QStringLiteral("/status");
}

QString releaseTopic(const QString& prefix) {
    return prefix + QStringLiteral("/freigabe");
}

QString clockTopic(const QString& prefix) {
    return prefix + QStringLiteral("/uhr");
}

Retained retained(const LiveSnapshot& snapshot, const QString& prefix, double serverTimeMs) {
    Retained out;
    out.stateBytes = LiveStateDocument::stateBytes(snapshot);
    out.stateTopic = prefix + QStringLiteral("/state");
    out.payloads.insert(out.stateTopic, LiveStateDocument::envelope(out.stateBytes, serverTimeMs));
    // The names the pages give the tables.
    const QString tables = prefix + QStringLiteral("/tabelle/");
    for (qsizetype i = 0; i < qsizetype(snapshot.stages.size()); ++i)
        out.payloads.insert(tables + QStringLiteral("stage%1").arg(i),
                            compact(LiveStateDocument::tableJson(snapshot.stages.at(i))));
    out.payloads.insert(tables + QStringLiteral("teams"),
                        compact(LiveStateDocument::tableJson(snapshot.teams)));
    if (snapshot.cup)
        out.payloads.insert(tables + QStringLiteral("cup"),
                            compact(LiveStateDocument::cupJson(snapshot.cup)));
    // Whether the results are official, for whoever only needs that (a scoreboard, a website).
    out.payloads.insert(releaseTopic(prefix),
                        compact(LiveStateDocument::releaseJson(snapshot.release)));
    if (snapshot.lastResult)
        out.payloads.insert(prefix + QStringLiteral("/ergebnis"),
                            compact(LiveStateDocument::lastResultJson(snapshot.lastResult)));
    return out;
}

std::optional<QByteArray> clockEvent(const LiveSnapshot::Clock& before,
                                     const LiveSnapshot::Clock& now, double serverTimeMs) {
    using State = LiveSnapshot::Clock::State;
    if (now.state == before.state)
        return std::nullopt;
    QString event;
    switch (now.state) {
    case State::Running:
        event = QStringLiteral("start");
        break;
    case State::Stopped:
        event = QStringLiteral("stop");
        break;
    case State::Countdown:
        event = QStringLiteral("countdown");
        break;
    case State::Ready:
        return std::nullopt;
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("event"), event},
                                     {QStringLiteral("serverTimeMs"), serverTimeMs},
                                     {QStringLiteral("wallTimeMs"),
                                      double(QDateTime::currentMSecsSinceEpoch())},
                                     {QStringLiteral("clock"), LiveStateDocument::clockJson(now)}})
        .toJson(QJsonDocument::Compact);
}

} // namespace MqttTopics
