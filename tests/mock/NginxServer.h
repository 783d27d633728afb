#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Debian's nginx on 127.0.0.1 and a free port, run as the current user with a configuration,
// logs and pid of its own: either serving a folder as static files as any web host would (ETag,
// Last-Modified, 304 on If-None-Match), or as a WebDAV server (PUT, DELETE, MOVE) for one user
// and password, whose folders under /voll/ answer 507 as a host whose disk is full.
class NginxServer {
public:
    static QString program() { return QStringLiteral("/usr/sbin/nginx"); }

    // Static files from root.
    explicit NginxServer(const QString& root);
    // WebDAV on a folder of its own (root()).
    NginxServer(const QString& user, const QString& password);
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    // Starts and waits until it takes connections; false with the reason in error().
    bool start();
    // Killed, as a host that goes away; start() brings it back on its port.
    void stop();
    quint16 port() const { return m_port; }
    QString url(const QString& path) const;
    QString error() const { return m_error; }
    // What the WebDAV server serves, on disk, with a trailing '/'.
    QString root() const { return m_dir.filePath(QStringLiteral("www/")); }
    // The access log as written so far: "<status> <request line>" a line.
    QByteArray accessLog() const;

private:
    // The configuration around the server block, which says what is served.
    void configure(const QByteArray& server);

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
