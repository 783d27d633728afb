#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Debian's nginx on 127.0.0.1 and a free port as a WebDAV server (PUT, DELETE, MOVE) for one
// user and password, run as the current user with everything in a temporary folder. Every
// folder under /voll/ answers 507, as a host whose disk is full.
class DavServer {
public:
    static QString program() { return QStringLiteral("/usr/sbin/nginx"); }

    DavServer(const QString& user, const QString& password);
    ~DavServer() { stop(); }

    bool start();
    // Killed, as a host that goes away; start() brings it back on its port.
    void stop();
    quint16 port() const { return m_port; }
    QString error() const { return m_error; }
    // What the server serves, on disk, with a trailing '/'.
    QString root() const { return m_dir.filePath(QStringLiteral("www/")); }
    QString url(const QString& folder) const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
