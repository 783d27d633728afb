#include "live/LiveStateDocument.h"

#include <QDateTime>
#include <QJsonDocument>

namespace {

// The wall clock beside the program's own: a reader without a way to ask the program for its
// time (a static file, a broker) estimates it from its own wall clock, which NTP keeps close.
QByteArray wallClockField() {
    return ",\"wallTimeMs\":" + QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + '}';
}

QJsonValue optionalMs(const std::optional<qint32>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

} // namespace

namespace LiveStateDocument {

QJsonArray textsJson(const QStringList& cells) {
    QJsonArray array;
    for (const QString& cell : cells)
        array.append(cell);
    return array;
}

QJsonObject marksJson(const QMap<int, QMap<int, QString>>& marks) {
    QJsonObject byRow;
    for (auto row = marks.cbegin(); row != marks.cend(); ++row) {
        QJsonObject byColumn;
        for (auto col = row->cbegin(); col != row->cend(); ++col)
            byColumn.insert(QString::number(col.key()), col.value());
        byRow.insert(QString::number(row.key()), byColumn);
    }
    return byRow;
}

QJsonObject tableJson(const LiveSnapshot::Table& table) {
    QJsonArray rows;
    for (const QStringList& row : table.rows)
        rows.append(textsJson(row));
    return QJsonObject{
        {QStringLiteral("caption"), table.caption},
        {QStringLiteral("header"), textsJson(table.header)},
        {QStringLiteral("rows"), rows},
        {QStringLiteral("marks"), marksJson(table.marks)},
    };
}

QJsonObject clockJson(const LiveSnapshot::Clock& clock) {
    return QJsonObject{
        {QStringLiteral("state"), QLatin1String(clockStateName(clock.state))},
        {QStringLiteral("startMs"), clock.startMs},
        {QStringLiteral("countdownMs"), clock.countdownMs},
        {QStringLiteral("readyMs"), clock.readyMs},
        {QStringLiteral("stoppedMs"), optionalMs(clock.stoppedMs)},
        {QStringLiteral("intermediateMs"), optionalMs(clock.intermediateMs)},
    };
}

QJsonArray top3Json(const QList<LiveSnapshot::Top3Row>& rows) {
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

QJsonValue cupJson(const std::optional<LiveSnapshot::Cup>& cup) {
    if (!cup)
        return QJsonValue(QJsonValue::Null);
    QJsonArray classes;
    for (const LiveSnapshot::Table& table : cup->classes)
        classes.append(tableJson(table));
    return QJsonObject{
        {QStringLiteral("name"), cup->name},
        {QStringLiteral("unit"), cup->unit},
        {QStringLiteral("classes"), classes},
    };
}

QJsonValue lastResultJson(const std::optional<LiveSnapshot::Result>& result) {
    if (!result)
        return QJsonValue(QJsonValue::Null);
    return QJsonObject{
        {QStringLiteral("competitor"), result->competitor},
        {QStringLiteral("club"), result->club},
        {QStringLiteral("time"), result->time},
        {QStringLiteral("run"), result->run},
        {QStringLiteral("status"),
         result->status.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(result->status)},
    };
}

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

QJsonObject releaseJson(const LiveSnapshot::Release& release) {
    QJsonArray classes;
    bool all = !release.classes.isEmpty();
    for (const LiveSnapshot::ClassRelease& klass : release.classes) {
        all = all && klass.official;
        classes.append(QJsonObject{
            {QStringLiteral("class"), klass.klass},
            {QStringLiteral("official"), klass.official},
            {QStringLiteral("state"),
             klass.official ? QStringLiteral("offiziell") : QStringLiteral("vorläufig")},
        });
    }
    return QJsonObject{{QStringLiteral("text"), release.text},
                       {QStringLiteral("official"), all},
                       {QStringLiteral("classes"), classes}};
}

QJsonObject toJson(const LiveSnapshot& snapshot) {
    QJsonArray stages;
    for (const LiveSnapshot::Table& stage : snapshot.stages)
        stages.append(tableJson(stage));
    return QJsonObject{
        {QStringLiteral("title"), snapshot.title},
        {QStringLiteral("competitor"), snapshot.competitor},
        {QStringLiteral("club"), snapshot.club},
        {QStringLiteral("clock"), clockJson(snapshot.clock)},
        {QStringLiteral("lastResult"), lastResultJson(snapshot.lastResult)},
        {QStringLiteral("stages"), stages},
        {QStringLiteral("teams"), tableJson(snapshot.teams)},
        {QStringLiteral("top3"), top3Json(snapshot.top3)},
        {QStringLiteral("cup"), cupJson(snapshot.cup)},
        {QStringLiteral("release"), releaseJson(snapshot.release)},
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
    bytes += wallClockField();
    return bytes;
}

QByteArray envelope(const QByteArray& state, double serverTimeMs, const QByteArray& epoch,
                    qint64 version) {
    QByteArray bytes;
    bytes.reserve(state.size() + 96);
    bytes += "{\"serverTimeMs\":";
    bytes += QByteArray::number(serverTimeMs, 'f', 0);
    bytes += ",\"epoch\":\"" + epoch + "\",\"v\":" + QByteArray::number(version);
    bytes += ",\"state\":";
    bytes += state;
    bytes += wallClockField();
    return bytes;
}

} // namespace LiveStateDocument
