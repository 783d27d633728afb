#include "platform/DBusInhibitorBus.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString LoginService = QStringLiteral("org.freedesktop.login1");
const QString LoginPath = QStringLiteral("/org/freedesktop/login1");
const QString LoginInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString ScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString ScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString ScreenSaverInterface = QStringLiteral("org.freedesktop.ScreenSaver");

} // namespace

DBusInhibitorBus::DBusInhibitorBus()
    : DBusInhibitorBus(QDBusConnection::systemBus(), QDBusConnection::sessionBus()) {}

DBusInhibitorBus::DBusInhibitorBus(const QDBusConnection& systemBus,
                                   const QDBusConnection& sessionBus)
    : m_system(systemBus), m_session(sessionBus) {}

DBusInhibitorBus::~DBusInhibitorBus() = default;

void DBusInhibitorBus::call(const QDBusConnection& bus, const QDBusMessage& message,
                            std::function<void(const QDBusMessage&)> onReply) {
    if (!bus.isConnected()) {
        onReply(QDBusMessage::createError(QDBusError::Disconnected, QString()));
        return;
    }
    // The watcher is a child of this object: once the bus object is gone, no answer comes.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, TimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [onReply = std::move(onReply)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                onReply(finished->reply());
            });
}

void DBusInhibitorBus::inhibitSleep(const QString& who, const QString& why, Answer answer) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(LoginService, LoginPath, LoginInterface, "Inhibit");
    message << QStringLiteral("sleep:idle") << who << why << QStringLiteral("block");
    call(m_system, message, [this, answer = std::move(answer)](const QDBusMessage& reply) {
        const QDBusPendingReply<QDBusUnixFileDescriptor> lock(reply);
        if (lock.isError() || !lock.value().isValid()) {
            answer(std::nullopt);
            return;
        }
        const Handle handle = m_nextSleepHandle++;
        m_sleepLocks.emplace(handle, lock.value());
        answer(handle);
    });
}

void DBusInhibitorBus::releaseSleep(Handle handle) {
    // The last copy of the descriptor closes it, and logind lets the lock go.
    m_sleepLocks.erase(handle);
}

void DBusInhibitorBus::inhibitScreenSaver(const QString& who, const QString& why, Answer answer) {
    QDBusMessage message = QDBusMessage::createMethodCall(ScreenSaverService, ScreenSaverPath,
                                                          ScreenSaverInterface, "Inhibit");
    message << who << why;
    call(m_session, message, [answer = std::move(answer)](const QDBusMessage& reply) {
        const QDBusPendingReply<uint> cookie(reply);
        if (cookie.isError()) {
            answer(std::nullopt);
            return;
        }
        answer(Handle(cookie.value()));
    });
}

void DBusInhibitorBus::releaseScreenSaver(Handle handle) {
    QDBusMessage message = QDBusMessage::createMethodCall(ScreenSaverService, ScreenSaverPath,
                                                          ScreenSaverInterface, "UnInhibit");
    message << uint(handle);
    // Nothing waits for the reply; a service that has gone took the inhibition with it.
    m_session.send(message);
}
