#include "publish/MqttClientSetup.h"

#include "publish/MqttConnection.h"

#include <QFile>
#include <mosquitto.h>
#include <mutex>

namespace MqttClientSetup {

void initLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QString configure(mosquitto* client, const MqttConnection& c) {
    mosquitto_int_option(client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    if (!c.user.isEmpty())
        mosquitto_username_pw_set(client, c.user.toUtf8().constData(),
                                  c.password.isEmpty() ? nullptr : c.password.toUtf8().constData());
    if (!c.tls)
        return {};
    const QByteArray caFile = QFile::encodeName(c.caFile);
    const int error =
        caFile.isEmpty()
            ? mosquitto_tls_set(client, nullptr, "/etc/ssl/certs", nullptr, nullptr, nullptr)
            : mosquitto_tls_set(client, caFile.constData(), nullptr, nullptr, nullptr, nullptr);
    return error == MOSQ_ERR_SUCCESS
               ? QString()
               : QStringLiteral("Zertifikat: CA-Datei %1 nicht lesbar").arg(c.caFile);
}

} // namespace MqttClientSetup
