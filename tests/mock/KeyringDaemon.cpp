#include "mock/KeyringDaemon.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QThread>

KeyringDaemon::KeyringDaemon() = default;

KeyringDaemon::~KeyringDaemon() {
    QDBusConnection::disconnectFromBus(QStringLiteral("velmora-keyring-test"));
    m_keyring.kill();
    m_keyring.waitForFinished(5000);
    m_busProcess.kill();
    m_busProcess.waitForFinished(5000);
}

bool KeyringDaemon::start() {
    m_busProcess.start(busProgram(),
                       {"--session", "--nofork", "--print-address=1",
                        "--address=unix:path=" + m_home.filePath(QStringLiteral("bus"))});
    if (!m_busProcess.waitForReadyRead(10000)) {
        m_error = QStringLiteral("dbus-daemon did not start");
        return false;
    }
    m_address = QString::fromLocal8Bit(m_busProcess.readLine()).trimmed();
    m_bus = QDBusConnection::connectToBus(m_address, QStringLiteral("velmora-keyring-test"));
    if (!m_bus.isConnected()) {
        m_error = QStringLiteral("no connection to the test's bus");
        return false;
    }
    return startKeyring();
}

bool KeyringDaemon::startKeyring() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    environment.insert(QStringLiteral("HOME"), m_home.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
    environment.remove(QStringLiteral("DISPLAY"));
    m_keyring.setProcessEnvironment(environment);
    m_keyring.start(program(), {"--foreground", "--unlock", "--components=secrets"});
    if (!m_keyring.waitForStarted(5000)) {
        m_error = QStringLiteral("gnome-keyring-daemon did not start");
        return false;
    }
    // It reads the password to the end of its input; nothing of it is sent without the wait.
    m_keyring.write("pruefschluessel");
    m_keyring.waitForBytesWritten(5000);
    m_keyring.closeWriteChannel();
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (m_bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")))
            return true;
        QThread::msleep(50);
    }
    m_error = QStringLiteral("the keyring did not come onto the bus: ") +
              QString::fromLocal8Bit(m_keyring.readAll());
    return false;
}

bool KeyringDaemon::lock() {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.secrets"), QStringLiteral("/org/freedesktop/secrets"),
        QStringLiteral("org.freedesktop.Secret.Service"), QStringLiteral("Lock"));
    call << QVariant::fromValue(
        QList<QDBusObjectPath>{QDBusObjectPath("/org/freedesktop/secrets/aliases/default")});
    return m_bus.call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

bool KeyringDaemon::restart() {
    m_keyring.terminate();
    m_keyring.waitForFinished(5000);
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired() &&
           m_bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")))
        QThread::msleep(50);
    return startKeyring();
}
