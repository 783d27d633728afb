#include "live/LiveEventLog.h"

#include "live/LiveSnapshotDelta.h"
#include "live/LiveStateDocument.h"

#include <QJsonDocument>
#include <QRandomGenerator>

namespace {

QByteArray eventBytes(const QByteArray& id, const char* name, const QByteArray& data) {
    return "id: " + id + "\nevent: " + name + "\ndata: " + data + "\n\n";
}

} // namespace

LiveEventLog::LiveEventLog()
    : m_epoch(QByteArray::number(QRandomGenerator::global()->generate(), 36)) {}

QByteArray LiveEventLog::idOf(qint64 version) const {
    return m_epoch + '-' + QByteArray::number(version);
}

std::optional<qint64> LiveEventLog::versionOf(const QByteArray& id) const {
    const qsizetype dash = id.lastIndexOf('-');
    if (dash < 0 || id.left(dash) != m_epoch)
        return std::nullopt;
    bool ok = false;
    const qint64 version = id.mid(dash + 1).toLongLong(&ok);
    if (!ok || version < 0 || version > m_version)
        return std::nullopt;
    return version;
}

LiveEventLog::EventPtr LiveEventLog::publish(const LiveSnapshot& snapshot, double serverTimeMs) {
    if (snapshot == m_snapshot)
        return nullptr;
    QJsonObject change = LiveSnapshotDelta::between(m_snapshot, snapshot);
    change.insert(QStringLiteral("base"), m_version);
    ++m_version;
    change.insert(QStringLiteral("v"), m_version);
    change.insert(QStringLiteral("serverTimeMs"), qRound64(serverTimeMs));
    m_snapshot = snapshot;
    m_stateBytes.clear();
    m_stateEvent.reset();
    auto event = std::make_shared<const LiveEvent>(
        m_version, eventBytes(id(), "delta", QJsonDocument(change).toJson(QJsonDocument::Compact)));
    m_history.push_back(event);
    m_historyBytes += event->plain().size();
    while (!m_history.empty() &&
           (static_cast<int>(m_history.size()) > maxKeptEvents || m_historyBytes > maxKeptBytes)) {
        m_historyBytes -= m_history.front()->plain().size();
        m_history.pop_front();
    }
    return event;
}

QByteArray LiveEventLog::stateBytes() {
    if (m_stateBytes.isEmpty())
        m_stateBytes = LiveStateDocument::stateBytes(m_snapshot);
    return m_stateBytes;
}

LiveEventLog::EventPtr LiveEventLog::stateEvent(double serverTimeMs) {
    if (!m_stateEvent)
        m_stateEvent = std::make_shared<const LiveEvent>(
            m_version, eventBytes(id(), "state",
                                  LiveStateDocument::envelope(stateBytes(), serverTimeMs, m_epoch,
                                                              m_version)));
    return m_stateEvent;
}

std::optional<QList<LiveEventLog::EventPtr>> LiveEventLog::since(qint64 version) const {
    if (version == m_version)
        return QList<EventPtr>();
    if (m_history.empty() || version < m_history.front()->version() - 1 || version > m_version)
        return std::nullopt;
    QList<EventPtr> events;
    for (const EventPtr& event : m_history) {
        if (event->version() > version)
            events.append(event);
    }
    return events;
}
