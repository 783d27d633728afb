#include "mock/NginxServer.h"

#include "mock/FreePort.h"

#include <QDir>
#include <QFile>
#include <pwd.h>
#include <unistd.h>

NginxServer::NginxServer(const QString& root) : m_port(freeListenPort()) {
    configure("root " + QFile::encodeName(root) + ";\n");
}

NginxServer::NginxServer(const QString& user, const QString& password) : m_port(freeListenPort()) {
    QDir().mkpath(this->root());
    const QByteArray dir = QFile::encodeName(m_dir.path());
    configure("root " + dir + "/www;\n    auth_basic \"Velmora\";\n    auth_basic_user_file " +
              dir +
              "/htpasswd;\n    location / {\n      dav_methods PUT DELETE MKCOL COPY MOVE;\n"
              "      create_full_put_path on;\n    }\n    location /voll/ { return 507; }\n");
    QFile users(m_dir.filePath(QStringLiteral("htpasswd")));
    const QByteArray line = user.toUtf8() + ":{PLAIN}" + password.toUtf8() + '\n';
    if (!users.open(QIODevice::WriteOnly) || users.write(line) != line.size())
        m_error = QStringLiteral("no password file for nginx");
}

NginxServer::~NginxServer() {
    stop();
}

void NginxServer::configure(const QByteArray& server) {
    const QByteArray dir = QFile::encodeName(m_dir.path());
    QByteArray config =
        "daemon off;\nmaster_process off;\nworker_processes 1;\npid " + dir + "/nginx.pid;\n";
    // Run as root, nginx would change to a user who cannot read or write the test's folders.
    if (geteuid() == 0)
        if (const passwd* me = getpwuid(getuid()))
            config += "user " + QByteArray(me->pw_name) + ";\n";
    config += "error_log " + dir + "/error.log warn;\nevents { worker_connections 64; }\nhttp {\n" +
              "  log_format brief '$status $request';\n  access_log " + dir +
              "/access.log brief;\n";
    for (const char* temp : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        config += QByteArray("  ") + temp + "_temp_path " + dir + "/tmp-" + temp + ";\n";
    config += "  types { text/html html; text/css css; text/javascript js; "
              "application/json json; }\n"
              "  server {\n    listen 127.0.0.1:" +
              QByteArray::number(m_port) + ";\n    " + server + "  }\n}\n";
    QFile file(m_dir.filePath(QStringLiteral("nginx.conf")));
    if (m_port == 0 || !file.open(QIODevice::WriteOnly) || file.write(config) != config.size())
        m_error = QStringLiteral("no configuration for nginx");
}

void NginxServer::stop() {
    m_process.kill();
    m_process.waitForFinished(5000);
}

bool NginxServer::start() {
    if (!m_error.isEmpty())
        return false;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program(), {"-p", m_dir.path(), "-e", m_dir.filePath("error.log"), "-c",
                                m_dir.filePath(QStringLiteral("nginx.conf"))});
    if (waitUntilListening(m_process, m_port))
        return true;
    QFile log(m_dir.filePath(QStringLiteral("error.log")));
    m_error = QStringLiteral("nginx does not take connections on port %1: %2")
                  .arg(m_port)
                  .arg(log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : "");
    return false;
}

QString NginxServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(path);
}

QByteArray NginxServer::accessLog() const {
    QFile log(m_dir.filePath(QStringLiteral("access.log")));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}
