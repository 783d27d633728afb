#include "publish/MqttStatusText.h"

#include <cerrno>
#include <mosquitto.h>

namespace {

QString address(const QString& host, int port) {
    return host + u':' + QString::number(port);
}

} // namespace

namespace MqttStatusText {

QString connected(const QString& host, int port) {
    return QStringLiteral("MQTT: verbunden mit ") + address(host, port);
}

QString connecting(const QString& host, int port) {
    return QStringLiteral("MQTT: verbinde mit %1 ...").arg(address(host, port));
}

QString refused(int connackCode, const QString& host, int port) {
    switch (connackCode) {
    case 1:
        return QStringLiteral("MQTT: Verbindung abgelehnt: %1 kennt diese Protokollversion nicht")
            .arg(address(host, port));
    case 2:
        return QStringLiteral("MQTT: Verbindung abgelehnt: %1 lässt die Client-ID nicht zu")
            .arg(address(host, port));
    case 3:
        return QStringLiteral("MQTT: Verbindung abgelehnt: %1 ist nicht bereit")
            .arg(address(host, port));
    case 4:
    case 5:
        return QStringLiteral("MQTT: Anmeldung abgelehnt (Benutzer oder Passwort falsch) bei ") +
               address(host, port);
    default:
        return QStringLiteral("MQTT: Verbindung abgelehnt: %1 (Code %2)")
            .arg(address(host, port))
            .arg(connackCode);
    }
}

QString failed(int mosquittoError, int osError, const QString& host, int port) {
    switch (mosquittoError) {
    case MOSQ_ERR_EAI:
        return QStringLiteral("MQTT: Name nicht auflösbar: ") + host;
    case MOSQ_ERR_TLS:
    case MOSQ_ERR_TLS_HANDSHAKE:
        return QStringLiteral("MQTT: Zertifikat von %1 nicht anerkannt oder TLS fehlgeschlagen")
            .arg(address(host, port));
    case MOSQ_ERR_AUTH:
        return QStringLiteral("MQTT: Anmeldung abgelehnt (Benutzer oder Passwort falsch) bei ") +
               address(host, port);
    case MOSQ_ERR_ERRNO:
        if (osError == ECONNREFUSED)
            return QStringLiteral("MQTT: Verbindung abgelehnt: ") + address(host, port) +
                   QStringLiteral(" (läuft dort ein Broker?)");
        if (osError == ETIMEDOUT || osError == EHOSTUNREACH || osError == ENETUNREACH)
            return QStringLiteral("MQTT: %1 nicht erreichbar").arg(address(host, port));
        break;
    default:
        break;
    }
    return QStringLiteral("MQTT: Verbindung zu %1 unterbrochen, neuer Versuch folgt")
        .arg(address(host, port));
}

} // namespace MqttStatusText
