#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Debian's OpenSSH server on 127.0.0.1 and a free port, with a host key and a configuration of
// its own in a temporary folder: it admits the current user with the key pair it made
// (clientKey()), serves SFTP, and its host key stands in knownHosts().
class SshServer {
public:
    static QString program() { return QStringLiteral("/usr/sbin/sshd"); }
    static QString keyTool() { return QStringLiteral("/usr/bin/ssh-keygen"); }

    SshServer();
    ~SshServer() { stop(); }

    // Starts and waits until it takes connections; false with the reason in error().
    bool start();
    void stop();
    quint16 port() const { return m_port; }
    QString error() const { return m_error; }
    QString knownHosts() const { return path("known_hosts"); }
    QString clientKey() const { return path("client_key"); }
    // A folder the server's user may write in, as an absolute path with a trailing '/'.
    QString folder() const { return path("site/"); }
    QString user() const { return m_user; }
    QString url(const QString& folder) const;

private:
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }
    bool makeKey(const char* name, const QStringList& extra = {});

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_user;
    QString m_error;
};
