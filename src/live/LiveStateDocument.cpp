#include "live/LiveStateDocument.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

QJsonArray texts(const QStringList& cells) {
    QJsonArray array;
    for (const QString& cell : cells)
        array.append(cell);
    return array;
}

QJsonObject table(const LiveSnapshot::Table& table) {
    QJsonArray rows;
    for (const QStringList& row : table.rows)
        rows.append(texts(row));
    return QJsonObject{
        {QStringLiteral("caption"), table.caption},
        {QStringLiteral("header"), texts(table.header)},
        {QStringLiteral("rows"), rows},
    };
}

QJsonValue optionalMs(const std::optional<qint32>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonObject clock(const LiveSnapshot::Clock& clock) {
    return QJsonObject{
        {QStringLiteral("state"), QLatin1String(LiveStateDocument::clockStateName(clock.state))},
        {QStringLiteral("startMs"), clock.startMs},
        {QStringLiteral("countdownMs"), clock.countdownMs},
        {QStringLiteral("stoppedMs"), optionalMs(clock.stoppedMs)},
        {QStringLiteral("intermediateMs"), optionalMs(clock.intermediateMs)},
    };
}

QJsonArray top3(const QList<LiveSnapshot::Top3Row>& rows) {
    QJsonArray array;
    for (const LiveSnapshot::Top3Row& row : rows)
        array.append(QJsonObject{
            {QStringLiteral("place"), row.place},
            {QStringLiteral("number"), row.number},
            {QStringLiteral("name"), row.name},
            {QStringLiteral("class"), row.klass},
            {QStringLiteral("champion"), row.champion},
            {QStringLiteral("time"), row.time},
        });
    return array;
}

} // namespace

namespace LiveStateDocument {

const char* clockStateName(LiveSnapshot::Clock::State state) {
    switch (state) {
    case LiveSnapshot::Clock::State::Countdown:
        return "countdown";
    case LiveSnapshot::Clock::State::Running:
        return "running";
    case LiveSnapshot::Clock::State::Stopped:
        return "stopped";
    case LiveSnapshot::Clock::State::Ready:
        break;
    }
    return "ready";
}

QJsonObject toJson(const LiveSnapshot& snapshot) {
    QJsonArray stages;
    for (const LiveSnapshot::Table& stage : snapshot.stages)
        stages.append(table(stage));
    QJsonValue last(QJsonValue::Null);
    if (snapshot.lastResult)
        last = QJsonObject{
            {QStringLiteral("competitor"), snapshot.lastResult->competitor},
            {QStringLiteral("club"), snapshot.lastResult->club},
            {QStringLiteral("time"), snapshot.lastResult->time},
        };
    return QJsonObject{
        {QStringLiteral("title"), snapshot.title},
        {QStringLiteral("competitor"), snapshot.competitor},
        {QStringLiteral("club"), snapshot.club},
        {QStringLiteral("clock"), clock(snapshot.clock)},
        {QStringLiteral("lastResult"), last},
        {QStringLiteral("stages"), stages},
        {QStringLiteral("teams"), table(snapshot.teams)},
        {QStringLiteral("top3"), top3(snapshot.top3)},
        {QStringLiteral("timeFormat"), snapshot.timeFormat},
        {QStringLiteral("decimalSeparator"), QString(snapshot.decimalSeparator)},
    };
}

QByteArray stateBytes(const LiveSnapshot& snapshot) {
    return QJsonDocument(toJson(snapshot)).toJson(QJsonDocument::Compact);
}

QByteArray envelope(const QByteArray& state, double serverTimeMs) {
    QByteArray bytes;
    bytes.reserve(state.size() + 48);
    bytes += "{\"serverTimeMs\":";
    bytes += QByteArray::number(serverTimeMs, 'f', 0);
    bytes += ",\"state\":";
    bytes += state;
    bytes += '}';
    return bytes;
}

} // namespace LiveStateDocument
