#include "mock/SshServer.h"

#include "mock/FreePort.h"

#include <QDir>
#include <QFile>
#include <pwd.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

SshServer::SshServer() : m_port(freeListenPort()) {
    if (const passwd* me = getpwuid(getuid()))
        m_user = QString::fromLocal8Bit(me->pw_name);
    // ECDSA: libssh2 signs with it as OpenSSH expects; its RSA signatures are refused now.
    if (!makeKey("host_key") || !makeKey("client_key", {"-m", "PEM"})) {
        m_error = QStringLiteral("ssh-keygen failed");
        return;
    }
    QDir().mkpath(folder());
    const QByteArray hostKey = readAll(path("host_key.pub")).split(' ').mid(0, 2).join(' ');
    const QByteArray config =
        "Port " + QByteArray::number(m_port) + "\nListenAddress 127.0.0.1\nHostKey " +
        QFile::encodeName(path("host_key")) + "\nPidFile " + QFile::encodeName(path("sshd.pid")) +
        "\nAuthorizedKeysFile " + QFile::encodeName(path("authorized_keys")) +
        "\nPasswordAuthentication no\nKbdInteractiveAuthentication no\nUsePAM no\n"
        "StrictModes no\nPermitRootLogin prohibit-password\nSubsystem sftp internal-sftp\n"
        "LogLevel ERROR\n";
    if (!writeAll(path("sshd_config"), config) ||
        !writeAll(path("authorized_keys"), readAll(path("client_key.pub")) + '\n') ||
        !writeAll(knownHosts(), "[127.0.0.1]:" + QByteArray::number(m_port) + ' ' + hostKey + '\n'))
        m_error = QStringLiteral("no configuration for sshd");
    // Run as root, the server separates its privileges into this folder.
    if (geteuid() == 0)
        QDir().mkpath(QStringLiteral("/run/sshd"));
}

bool SshServer::makeKey(const char* name, const QStringList& extra) {
    return QProcess::execute(
               keyTool(), QStringList{"-q", "-t", "ecdsa", "-N", "", "-f", path(name)} + extra) ==
           0;
}

QString SshServer::url(const QString& sub) const {
    return QStringLiteral("sftp://127.0.0.1:%1%2%3").arg(m_port).arg(folder(), sub);
}

bool SshServer::start() {
    if (!m_error.isEmpty())
        return false;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program(), {"-D", "-e", "-f", path("sshd_config")});
    if (waitUntilListening(m_process, m_port))
        return true;
    m_error = QStringLiteral("sshd does not take connections on port %1").arg(m_port);
    return false;
}

void SshServer::stop() {
    m_process.kill();
    m_process.waitForFinished(5000);
}
