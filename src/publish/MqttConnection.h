#pragma once

#include <QString>

// Where the publisher sends to and as whom: the broker, the login (both empty: none), TLS with
// the CA file that vouches for the broker (empty: the system's certificates), the client's name
// at the broker and the prefix of every topic.
struct MqttConnection {
    QString host = QStringLiteral("localhost");
    int port = 1883;
    QString user;
    QString password;
    bool tls = false;
    QString caFile;
    QString clientId;
    QString prefix = QStringLiteral("velmora");
    // Seconds between the client's pings; the broker tells the last will after 1.5 times this
    // without a word from the client.
    int keepAliveSeconds = 30;
};
