#include "live/LiveSnapshotDelta.h"

#include "live/LiveStateDocument.h"
#include "live/LiveTableDelta.h"

QString LiveSnapshotDelta::tableName(int stage) {
    return stage < 0 ? QStringLiteral("teams") : QStringLiteral("stage%1").arg(stage);
}

QJsonObject LiveSnapshotDelta::between(const LiveSnapshot& before, const LiveSnapshot& after) {
    QJsonObject set;
    const auto text = [&set](const char* name, const QString& old, const QString& now) {
        if (old != now)
            set.insert(QLatin1String(name), now);
    };
    text("title", before.title, after.title);
    text("competitor", before.competitor, after.competitor);
    text("club", before.club, after.club);
    if (before.clock != after.clock)
        set.insert(QStringLiteral("clock"), LiveStateDocument::clockJson(after.clock));
    if (before.lastResult != after.lastResult)
        set.insert(QStringLiteral("lastResult"),
                   LiveStateDocument::lastResultJson(after.lastResult));
    if (before.top3 != after.top3)
        set.insert(QStringLiteral("top3"), LiveStateDocument::top3Json(after.top3));
    // The standings change a few times a day; the whole of them goes with a change.
    if (before.cup != after.cup)
        set.insert(QStringLiteral("cup"), LiveStateDocument::cupJson(after.cup));
    if (before.release != after.release)
        set.insert(QStringLiteral("release"), LiveStateDocument::releaseJson(after.release));
    if (before.timeFormat != after.timeFormat)
        set.insert(QStringLiteral("timeFormat"), after.timeFormat);
    text("decimalSeparator", QString(before.decimalSeparator), QString(after.decimalSeparator));

    QJsonObject tables;
    for (int stage = 0; stage < 4; ++stage) {
        if (!(before.stages[stage] == after.stages[stage]))
            tables.insert(tableName(stage),
                          LiveTableDelta::between(before.stages[stage], after.stages[stage]));
    }
    if (!(before.teams == after.teams))
        tables.insert(tableName(-1), LiveTableDelta::between(before.teams, after.teams));

    QJsonObject delta;
    if (!set.isEmpty())
        delta.insert(QStringLiteral("set"), set);
    if (!tables.isEmpty())
        delta.insert(QStringLiteral("tables"), tables);
    return delta;
}
