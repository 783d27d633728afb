#pragma once

#include <QString>

// What the status bar tells of the connection to the broker, in plain words.
namespace MqttStatusText {

QString connected(const QString& host, int port);
// Before the first answer of the broker.
QString connecting(const QString& host, int port);
// The broker answered the login with this code (MQTT 3.1.1 CONNACK, 1 to 5).
QString refused(int connackCode, const QString& host, int port);
// A libmosquitto error while connecting or after the link was lost; osError is errno as the
// network thread saw it.
QString failed(int mosquittoError, int osError, const QString& host, int port);

} // namespace MqttStatusText
