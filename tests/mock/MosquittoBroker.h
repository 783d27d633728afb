#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Debian's mosquitto on 127.0.0.1 and a free port, with its configuration in a folder of its
// own; stopped and started again on the same port, without keeping retained messages, as a
// broker that crashed. With a user, it admits only that user with that password.
class MosquittoBroker {
public:
    static QString program() { return QStringLiteral("/usr/sbin/mosquitto"); }
    static QString passwordTool() { return QStringLiteral("/usr/bin/mosquitto_passwd"); }

    explicit MosquittoBroker(const QString& user = {}, const QString& password = {});
    ~MosquittoBroker();

    // Starts and waits until it takes connections; false with the reason in error().
    bool start();
    // Killed, as a broker that goes away without a word.
    void stop();
    quint16 port() const { return m_port; }
    QString error() const { return m_error; }

private:
    bool writeConfig(const QString& user, const QString& password);

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
