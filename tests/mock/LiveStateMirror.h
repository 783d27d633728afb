#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>

// What a page holds after reading the event stream: the whole state from a "state" event,
// each "delta" applied to it in order, as the page's script does.
class LiveStateMirror {
public:
    // Takes stream bytes as they arrive; complete events are applied at once.
    void feed(const QByteArray& bytes);

    QJsonObject state() const { return m_state; }
    qint64 version() const { return m_version; }
    int stateEvents() const { return m_stateEvents; }
    int deltaEvents() const { return m_deltaEvents; }
    int pings() const { return m_pings; }
    // False once a change came that did not follow the version held.
    bool inStep() const { return m_inStep; }
    // The "data" of every delta so far.
    QList<QJsonObject> deltas() const { return m_deltas; }

    static QJsonObject applied(QJsonObject state, const QJsonObject& delta);
    static QJsonObject appliedToTable(const QJsonObject& table, const QJsonObject& delta);

private:
    QByteArray m_buffer;
    QJsonObject m_state;
    qint64 m_version = -1;
    int m_stateEvents = 0;
    int m_deltaEvents = 0;
    int m_pings = 0;
    bool m_inStep = true;
    QList<QJsonObject> m_deltas;
};
