#include "mock/MqttSubscriber.h"

#include <QTest>
#include <mosquitto.h>

MqttSubscriber::MqttSubscriber(quint16 port, const QString& filter) : m_filter(filter.toUtf8()) {
    mosquitto_lib_init();
    m_client = mosquitto_new(nullptr, true, this);
    mosquitto_connect_callback_set(m_client, &MqttSubscriber::connected);
    mosquitto_message_callback_set(m_client, &MqttSubscriber::received);
    mosquitto_connect_async(m_client, "127.0.0.1", port, 30);
    mosquitto_loop_start(m_client);
}

MqttSubscriber::~MqttSubscriber() {
    mosquitto_disconnect(m_client);
    mosquitto_loop_stop(m_client, false);
    mosquitto_destroy(m_client);
}

void MqttSubscriber::connected(mosquitto* client, void* self, int code) {
    if (code == 0)
        mosquitto_subscribe(client, nullptr,
                            static_cast<MqttSubscriber*>(self)->m_filter.constData(), 1);
}

void MqttSubscriber::received(mosquitto*, void* self, const mosquitto_message* message) {
    auto* subscriber = static_cast<MqttSubscriber*>(self);
    const std::lock_guard lock(subscriber->m_mutex);
    subscriber->m_messages[QString::fromUtf8(message->topic)].append(
        {QByteArray(static_cast<const char*>(message->payload), message->payloadlen),
         message->retain});
}

QList<MqttSubscriber::Message> MqttSubscriber::messages(const QString& topic) const {
    const std::lock_guard lock(m_mutex);
    return m_messages.value(topic);
}

bool MqttSubscriber::waitFor(const QString& topic, const QByteArray& contains, int ms) const {
    return QTest::qWaitFor(
        [&] {
            const QList<Message> got = messages(topic);
            return !got.isEmpty() && got.last().payload.contains(contains);
        },
        ms);
}

int MqttSubscriber::socket() const {
    return mosquitto_socket(m_client);
}
