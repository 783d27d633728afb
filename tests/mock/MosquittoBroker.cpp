#include "mock/MosquittoBroker.h"

#include "mock/FreePort.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpSocket>
#include <QThread>
#include <pwd.h>
#include <unistd.h>

MosquittoBroker::MosquittoBroker(const QString& user, const QString& password)
    : m_port(freeListenPort()) {
    if (!writeConfig(user, password) && m_error.isEmpty())
        m_error = QStringLiteral("configuration not written");
}

MosquittoBroker::~MosquittoBroker() {
    stop();
}

bool MosquittoBroker::writeConfig(const QString& user, const QString& password) {
    if (!m_dir.isValid() || m_port == 0)
        return false;
    // Run as root, mosquitto would change to its own user, who cannot read this folder.
    const passwd* me = getpwuid(getuid());
    QByteArray config = "listener " + QByteArray::number(m_port) + " 127.0.0.1\n" +
                        "persistence false\nlog_dest stderr\nlog_type error\nlog_type warning\n";
    if (me)
        config += "user " + QByteArray(me->pw_name) + '\n';
    if (user.isEmpty()) {
        config += "allow_anonymous true\n";
    } else {
        const QString file = m_dir.filePath(QStringLiteral("passwd"));
        if (QProcess::execute(passwordTool(), {"-c", "-b", file, user, password}) != 0) {
            m_error = QStringLiteral("mosquitto_passwd failed");
            return false;
        }
        config += "allow_anonymous false\npassword_file " + QFile::encodeName(file) + '\n';
    }
    QFile file(m_dir.filePath(QStringLiteral("mosquitto.conf")));
    return file.open(QIODevice::WriteOnly) && file.write(config) == config.size();
}

bool MosquittoBroker::start() {
    if (!m_error.isEmpty())
        return false;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program(), {"-c", m_dir.filePath(QStringLiteral("mosquitto.conf"))});
    if (!m_process.waitForStarted(5000)) {
        m_error = m_process.errorString();
        return false;
    }
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QStringLiteral("127.0.0.1"), m_port);
        if (probe.waitForConnected(500))
            return true;
        QThread::msleep(50);
    }
    m_error = QStringLiteral("mosquitto does not take connections on port %1").arg(m_port);
    return false;
}

void MosquittoBroker::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}
