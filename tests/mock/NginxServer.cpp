#include "mock/NginxServer.h"

#include "mock/FreePort.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpSocket>
#include <unistd.h>

NginxServer::NginxServer(const QString& root) : m_port(freeListenPort()) {
    const QByteArray dir = QFile::encodeName(m_dir.path());
    QByteArray config = "daemon off;\nmaster_process off;\nworker_processes 1;\n"
                        "pid " +
                        dir + "/nginx.pid;\nerror_log " + dir +
                        "/error.log warn;\n"
                        "events { worker_connections 64; }\nhttp {\n"
                        "  log_format brief '$status $request';\n"
                        "  access_log " +
                        dir + "/access.log brief;\n";
    for (const char* temp : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        config += "  " + QByteArray(temp) + "_temp_path " + dir + "/" + temp + ";\n";
    config += "  types { text/html html; text/css css; text/javascript js; "
              "application/json json; }\n"
              "  server { listen 127.0.0.1:" +
              QByteArray::number(m_port) + "; root " + QFile::encodeName(root) + "; }\n}\n";
    // Run as root, nginx would serve as "nobody", who cannot read the test's folders.
    if (geteuid() == 0)
        config.prepend("user root;\n");
    QFile file(m_dir.filePath(QStringLiteral("nginx.conf")));
    if (m_port == 0 || !file.open(QIODevice::WriteOnly) || file.write(config) != config.size())
        m_error = QStringLiteral("no configuration for nginx");
}

NginxServer::~NginxServer() {
    stop();
}

void NginxServer::stop() {
    m_process.kill();
    m_process.waitForFinished(5000);
}

bool NginxServer::start() {
    if (!m_error.isEmpty())
        return false;
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.start(program(), {"-p", m_dir.path(), "-e", m_dir.filePath("error.log"), "-c",
                                m_dir.filePath(QStringLiteral("nginx.conf"))});
    const QDeadlineTimer deadline(10000);
    while (m_process.waitForStarted(5000) && !deadline.hasExpired() &&
           m_process.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QStringLiteral("127.0.0.1"), m_port);
        if (probe.waitForConnected(500))
            return true;
        m_process.waitForFinished(50);
    }
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
