#include "mock/LiveStateMirror.h"

#include <QJsonArray>
#include <QJsonDocument>

QJsonObject LiveStateMirror::appliedToTable(const QJsonObject& table, const QJsonObject& delta) {
    QJsonObject next = table;
    if (delta.contains(QStringLiteral("caption")))
        next[QStringLiteral("caption")] = delta[QStringLiteral("caption")];
    if (delta.contains(QStringLiteral("header")))
        next[QStringLiteral("header")] = delta[QStringLiteral("header")];
    if (delta.contains(QStringLiteral("rows")))
        next[QStringLiteral("rows")] = delta[QStringLiteral("rows")];
    if (delta.contains(QStringLiteral("marks")))
        next[QStringLiteral("marks")] = delta[QStringLiteral("marks")];
    if (!delta.contains(QStringLiteral("ops")))
        return next;
    const QJsonArray old = table[QStringLiteral("rows")].toArray();
    QJsonArray rows;
    for (const QJsonValue& op : delta[QStringLiteral("ops")].toArray()) {
        if (op.isArray()) {
            const int from = op.toArray().at(0).toInt();
            const int count = op.toArray().at(1).toInt();
            for (int k = 0; k < count; ++k)
                rows.append(old.at(from + k));
        } else if (op.toObject().contains(QStringLiteral("r"))) {
            rows.append(op.toObject()[QStringLiteral("r")]);
        } else if (op.toObject().contains(QStringLiteral("v"))) {
            const int from = op.toObject()[QStringLiteral("i")].toInt();
            const int column = op.toObject()[QStringLiteral("c")].toInt();
            const QJsonArray values = op.toObject()[QStringLiteral("v")].toArray();
            for (int k = 0; k < values.size(); ++k) {
                QJsonArray row = old.at(from + k).toArray();
                row[column] = values.at(k);
                rows.append(row);
            }
        } else {
            QJsonArray row = old.at(op.toObject()[QStringLiteral("i")].toInt()).toArray();
            const QJsonObject cells = op.toObject()[QStringLiteral("s")].toObject();
            for (auto it = cells.begin(); it != cells.end(); ++it)
                row[it.key().toInt()] = it.value();
            rows.append(row);
        }
    }
    next[QStringLiteral("rows")] = rows;
    return next;
}

QJsonObject LiveStateMirror::applied(QJsonObject state, const QJsonObject& delta) {
    const QJsonObject set = delta[QStringLiteral("set")].toObject();
    for (auto it = set.begin(); it != set.end(); ++it)
        state[it.key()] = it.value();
    const QJsonObject tables = delta[QStringLiteral("tables")].toObject();
    QJsonArray stages = state[QStringLiteral("stages")].toArray();
    for (auto it = tables.begin(); it != tables.end(); ++it) {
        if (it.key() == QLatin1String("teams")) {
            state[QStringLiteral("teams")] =
                appliedToTable(state[QStringLiteral("teams")].toObject(), it.value().toObject());
        } else {
            const int stage = it.key().mid(5).toInt();
            stages[stage] = appliedToTable(stages.at(stage).toObject(), it.value().toObject());
        }
    }
    state[QStringLiteral("stages")] = stages;
    return state;
}

void LiveStateMirror::feed(const QByteArray& bytes) {
    m_buffer += bytes;
    for (;;) {
        const qsizetype end = m_buffer.indexOf("\n\n");
        if (end < 0)
            return;
        const QByteArray event = m_buffer.left(end);
        m_buffer.remove(0, end + 2);
        QByteArray name;
        QByteArray data;
        for (const QByteArray& line : event.split('\n')) {
            if (line.startsWith("event: "))
                name = line.mid(7);
            else if (line.startsWith("data: "))
                data = line.mid(6);
        }
        const QJsonObject object = QJsonDocument::fromJson(data).object();
        if (name == "state") {
            m_state = object[QStringLiteral("state")].toObject();
            m_version = object[QStringLiteral("v")].toInteger();
            ++m_stateEvents;
        } else if (name == "delta") {
            if (object[QStringLiteral("base")].toInteger() != m_version)
                m_inStep = false;
            m_state = applied(m_state, object);
            m_version = object[QStringLiteral("v")].toInteger();
            m_deltas.append(object);
            ++m_deltaEvents;
        } else if (name == "ping") {
            ++m_pings;
        }
    }
}
