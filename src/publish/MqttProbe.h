#pragma once

#include "publish/MqttConnection.h"

#include <QObject>
#include <memory>

// "Verbindung testen": one connection to the broker with the values typed, on a thread of its
// own, answered in the publisher's plain words. It logs in under a name the library makes up
// and sends nothing, so the running publisher's session and topics stay as they are. A broker
// that does not answer within timeoutMs is told as such; the thread is left to end on its own.
class MqttProbe : public QObject {
    Q_OBJECT
public:
    static constexpr int timeoutMs = 5000;

    explicit MqttProbe(QObject* parent = nullptr);
    ~MqttProbe() override;

    // A test still running is forgotten; only the newest one answers.
    void test(const MqttConnection& connection);
    bool isRunning() const { return m_running; }

    static QString okText(const QString& host, int port);

Q_SIGNALS:
    // The outcome: okText() or the status text of the failure, without the "MQTT: " in front.
    void finished(const QString& text);

private:
    struct Answer;
    void answered(quint64 attempt, const QString& text);

    std::shared_ptr<Answer> m_answer;
    quint64 m_attempt = 0;
    bool m_running = false;
};
