#include "mock/MosquittoBroker.h"

#include "mock/FreePort.h"

#include <QFile>
#include <pwd.h>
#include <unistd.h>

MosquittoBroker::MosquittoBroker(const QString& user, const QString& password)
    : m_port(freeListenPort()) {
    QByteArray config = "listener " + QByteArray::number(m_port) +
                        " 127.0.0.1\npersistence false\nlog_type error\nlog_type warning\n";
    // Run as root, mosquitto would change to its own user, who cannot read this folder.
    if (const passwd* me = getpwuid(getuid()))
        config += "user " + QByteArray(me->pw_name) + '\n';
    const QString passwords = m_dir.filePath(QStringLiteral("passwd"));
    if (user.isEmpty())
        config += "allow_anonymous true\n";
    else if (QProcess::execute(passwordTool(), {"-c", "-b", passwords, user, password}) == 0)
        config += "allow_anonymous false\npassword_file " + QFile::encodeName(passwords) + '\n';
    else
        m_error = QStringLiteral("mosquitto_passwd failed");
    QFile file(m_dir.filePath(QStringLiteral("mosquitto.conf")));
    if (m_port == 0 || !file.open(QIODevice::WriteOnly) || file.write(config) != config.size())
        m_error = QStringLiteral("no configuration for mosquitto");
}

bool MosquittoBroker::addConfig(const QByteArray& lines) {
    QFile file(m_dir.filePath(QStringLiteral("mosquitto.conf")));
    return file.open(QIODevice::Append) && file.write(lines) == lines.size();
}

bool MosquittoBroker::start() {
    if (!m_error.isEmpty())
        return false;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program(), {"-c", m_dir.filePath(QStringLiteral("mosquitto.conf"))});
    if (waitUntilListening(m_process, m_port))
        return true;
    m_error = QStringLiteral("mosquitto does not take connections on port %1").arg(m_port);
    return false;
}

void MosquittoBroker::stop() {
    m_process.kill();
    m_process.waitForFinished(5000);
}
