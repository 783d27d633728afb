#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Debian's mosquitto on 127.0.0.1 and a free port, configured in a folder of its own, keeping
// no retained messages over a restart; with a user, it admits only that user and password.
class MosquittoBroker {
public:
    static QString program() { return QStringLiteral("/usr/sbin/mosquitto"); }
    static QString passwordTool() { return QStringLiteral("/usr/bin/mosquitto_passwd"); }

    explicit MosquittoBroker(const QString& user = {}, const QString& password = {});
    ~MosquittoBroker() { stop(); }

    // Lines added to the configuration before start(): another listener, TLS. False when the
    // configuration cannot be written.
    bool addConfig(const QByteArray& lines);
    // Starts and waits until it takes connections; false with the reason in error().
    bool start();
    // Killed, as a broker that goes away without a word; start() brings it back on its port.
    void stop();
    quint16 port() const { return m_port; }
    QString error() const { return m_error; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
