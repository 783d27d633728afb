#include "publish/MqttProbe.h"

#include "publish/MqttClientSetup.h"
#include "publish/MqttStatusText.h"

#include <QDeadlineTimer>
#include <QTimer>
#include <cerrno>
#include <mosquitto.h>
#include <mutex>
#include <thread>

// Where the thread hands its outcome; the probe going away leaves a null receiver.
struct MqttProbe::Answer {
    std::mutex mutex;
    MqttProbe* receiver = nullptr;
};

namespace {

struct Outcome {
    bool answered = false;
    int connack = -1;
    int error = MOSQ_ERR_SUCCESS;
    int osError = 0;
};

QString plain(const QString& status) {
    const QString front = QStringLiteral("MQTT: ");
    return status.startsWith(front) ? status.mid(front.size()) : status;
}

void onConnect(mosquitto*, void* data, int code) {
    auto* outcome = static_cast<Outcome*>(data);
    outcome->answered = true;
    outcome->connack = code;
}

void onDisconnect(mosquitto*, void* data, int code) {
    auto* outcome = static_cast<Outcome*>(data);
    if (outcome->answered)
        return;
    outcome->osError = errno;
    outcome->error = code == MOSQ_ERR_SUCCESS ? MOSQ_ERR_CONN_LOST : code;
}

// Runs on the probe's thread: connect, wait for the broker's answer, leave.
QString attempt(const MqttConnection& c) {
    MqttClientSetup::initLibrary();
    Outcome outcome;
    mosquitto* client = mosquitto_new(nullptr, true, &outcome);
    if (!client)
        return QStringLiteral("kein Speicher für die Verbindung");
    mosquitto_connect_callback_set(client, onConnect);
    mosquitto_disconnect_callback_set(client, onDisconnect);
    QString text = MqttClientSetup::configure(client, c);
    if (text.isEmpty()) {
        int error = mosquitto_connect(client, c.host.toUtf8().constData(), c.port, 10);
        int osError = errno;
        const QDeadlineTimer deadline(MqttProbe::timeoutMs);
        while (error == MOSQ_ERR_SUCCESS && !outcome.answered &&
               outcome.error == MOSQ_ERR_SUCCESS && !deadline.hasExpired()) {
            error = mosquitto_loop(client, 100, 1);
            osError = errno;
        }
        if (outcome.answered)
            text = outcome.connack == 0
                       ? MqttProbe::okText(c.host, c.port)
                       : plain(MqttStatusText::refused(outcome.connack, c.host, c.port));
        else if (outcome.error != MOSQ_ERR_SUCCESS)
            text = plain(MqttStatusText::failed(outcome.error, outcome.osError, c.host, c.port));
        else if (error != MOSQ_ERR_SUCCESS)
            text = plain(MqttStatusText::failed(error, osError, c.host, c.port));
        else
            text = QStringLiteral("keine Antwort von %1:%2 in %3 s")
                       .arg(c.host)
                       .arg(c.port)
                       .arg(MqttProbe::timeoutMs / 1000);
        if (outcome.answered && outcome.connack == 0)
            mosquitto_disconnect(client);
    }
    mosquitto_destroy(client);
    return text;
}

} // namespace

MqttProbe::MqttProbe(QObject* parent) : QObject(parent) {}

MqttProbe::~MqttProbe() {
    if (m_answer) {
        const std::lock_guard lock(m_answer->mutex);
        m_answer->receiver = nullptr;
    }
}

QString MqttProbe::okText(const QString& host, int port) {
    return QStringLiteral("Verbindung in Ordnung: %1:%2").arg(host).arg(port);
}

void MqttProbe::test(const MqttConnection& connection) {
    const quint64 number = ++m_attempt;
    m_running = true;
    if (!m_answer) {
        m_answer = std::make_shared<Answer>();
        m_answer->receiver = this;
    }
    // A name server or a connect that hangs longer than the test may: the answer says so,
    // whatever the thread comes back with later.
    QTimer::singleShot(timeoutMs + 1000, this, [this, number, connection] {
        answered(number, QStringLiteral("keine Antwort von %1:%2 in %3 s")
                             .arg(connection.host)
                             .arg(connection.port)
                             .arg(timeoutMs / 1000));
    });
    std::thread([answer = m_answer, connection, number] {
        const QString text = attempt(connection);
        const std::lock_guard lock(answer->mutex);
        if (MqttProbe* probe = answer->receiver)
            QMetaObject::invokeMethod(
                probe, [probe, number, text] { probe->answered(number, text); },
                Qt::QueuedConnection);
    }).detach();
}

void MqttProbe::answered(quint64 attempt, const QString& text) {
    if (attempt != m_attempt || !m_running)
        return;
    m_running = false;
    Q_EMIT finished(text);
}
