#include "ui/window/MqttStatusNotices.h"

#include "publish/MqttPublisher.h"
#include "publish/MqttStatusText.h"
#include "session/RaceSession.h"
#include "ui/window/MainStatusBar.h"

MqttStatusNotices::MqttStatusNotices(RaceSession& session, MainStatusBar& statusBar,
                                     QObject* parent)
    : QObject(parent), m_session(session), m_statusBar(statusBar) {
    connect(&session, &RaceSession::mqttStatusChanged, this, &MqttStatusNotices::show);
    // Start-up connected before the window was there.
    if (const MqttPublisher* publisher = session.mqtt())
        show(publisher->statusText());
}

void MqttStatusNotices::show(const QString& text) {
    const MqttPublisher* publisher = m_session.mqtt();
    bool failing = false;
    if (publisher && !text.isEmpty() && !publisher->isConnected()) {
        const MqttConnection& connection = publisher->connection();
        failing = text != MqttStatusText::connecting(connection.host, connection.port);
    }
    m_statusBar.setLastingNotice(topic(), failing ? text : QString());
    if (!failing && !text.isEmpty())
        m_statusBar.showNotice(text, NoticeMs);
}
