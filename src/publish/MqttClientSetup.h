#pragma once

#include <QString>

struct MqttConnection;
struct mosquitto;

// What the publisher and the connection test set up alike on a new libmosquitto client.
namespace MqttClientSetup {

// The library once for the program, before the first client.
void initLibrary();

// MQTT 3.1.1, the login and TLS with the connection's CA file (the system's certificates
// without one). Empty when the client is ready to connect, else why not ("Zertifikat: CA-Datei
// /a/ca.pem nicht lesbar").
QString configure(mosquitto* client, const MqttConnection& connection);

} // namespace MqttClientSetup
