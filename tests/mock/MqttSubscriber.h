#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <mutex>

struct mosquitto;

// A client on a broker that subscribes to a topic filter on connecting and keeps every message
// it gets, by topic, with whether the broker had kept it (retained).
class MqttSubscriber {
public:
    struct Message {
        QByteArray payload;
        bool retained = false;
    };

    MqttSubscriber(quint16 port, const QString& filter);
    ~MqttSubscriber();
    MqttSubscriber(const MqttSubscriber&) = delete;
    MqttSubscriber& operator=(const MqttSubscriber&) = delete;

    QList<Message> messages(const QString& topic) const;
    // Waits (with Qt's events going on) until the topic's last payload contains the text.
    bool waitFor(const QString& topic, const QByteArray& contains, int ms = 15000) const;
    // The socket of this client, so that a test can tell it from others.
    int socket() const;

private:
    static void received(mosquitto* client, void* self, const struct mosquitto_message* message);
    static void connected(mosquitto* client, void* self, int code);

    mosquitto* m_client = nullptr;
    QByteArray m_filter;
    mutable std::mutex m_mutex;
    QMap<QString, QList<Message>> m_messages;
};
