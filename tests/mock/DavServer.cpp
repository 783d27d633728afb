#include "mock/DavServer.h"

#include "mock/FreePort.h"

#include <QDir>
#include <QFile>
#include <pwd.h>
#include <unistd.h>

DavServer::DavServer(const QString& user, const QString& password) : m_port(freeListenPort()) {
    const QByteArray dir = QFile::encodeName(m_dir.path());
    QDir().mkpath(root());
    QByteArray config = "daemon off;\nmaster_process off;\npid " + dir + "/nginx.pid;\n";
    // Run as root, nginx would change to a user who cannot write here.
    if (geteuid() == 0)
        if (const passwd* me = getpwuid(getuid()))
            config += "user " + QByteArray(me->pw_name) + ";\n";
    config += "error_log " + dir + "/error.log error;\nevents { worker_connections 64; }\nhttp {\n";
    for (const char* temp : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        config += QByteArray("  ") + temp + "_temp_path " + dir + "/tmp-" + temp + ";\n";
    config +=
        "  access_log off;\n  server {\n    listen 127.0.0.1:" + QByteArray::number(m_port) +
        ";\n    root " + dir + "/www;\n    auth_basic \"Velmora\";\n    auth_basic_user_file " +
        dir +
        "/htpasswd;\n    location / {\n      dav_methods PUT DELETE MKCOL COPY MOVE;\n"
        "      create_full_put_path on;\n    }\n    location /voll/ { return 507; }\n  }\n}\n";
    QFile file(m_dir.filePath(QStringLiteral("nginx.conf")));
    QFile users(m_dir.filePath(QStringLiteral("htpasswd")));
    const QByteArray line = user.toUtf8() + ":{PLAIN}" + password.toUtf8() + '\n';
    if (m_port == 0 || !file.open(QIODevice::WriteOnly) || file.write(config) != config.size() ||
        !users.open(QIODevice::WriteOnly) || users.write(line) != line.size())
        m_error = QStringLiteral("no configuration for nginx");
}

QString DavServer::url(const QString& folder) const {
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(folder);
}

bool DavServer::start() {
    if (!m_error.isEmpty())
        return false;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program(), {"-p", m_dir.path(), "-c", m_dir.filePath("nginx.conf"), "-e",
                                m_dir.filePath("error.log")});
    if (waitUntilListening(m_process, m_port))
        return true;
    m_error = QStringLiteral("nginx does not take connections on port %1").arg(m_port);
    return false;
}

void DavServer::stop() {
    m_process.kill();
    m_process.waitForFinished(5000);
}
