#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Debian's nginx serving a folder as static files on 127.0.0.1 and a free port, as any web host
// would (ETag, Last-Modified, 304 on If-None-Match), run as the current user with a
// configuration, logs and pid of its own.
class NginxServer {
public:
    static QString program() { return QStringLiteral("/usr/sbin/nginx"); }

    explicit NginxServer(const QString& root);
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    // Starts and waits until it takes connections; false with the reason in error().
    bool start();
    // Killed, as a host that goes away.
    void stop();
    quint16 port() const { return m_port; }
    QString url(const QString& path) const;
    QString error() const { return m_error; }
    // The access log as written so far: "<status> <request line>" a line.
    QByteArray accessLog() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
