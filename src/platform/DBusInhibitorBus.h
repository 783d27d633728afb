#pragma once

#include "platform/InhibitorBus.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <map>

class QDBusMessage;

// The inhibitors of a freedesktop system over D-Bus: logind's sleep lock on the system bus (a
// file descriptor, held until it is closed) and the session's screen saver (a cookie). Calls
// are asynchronous with a short timeout, so a slow or missing service never holds up the
// window; without a bus every request is answered empty at once.
class DBusInhibitorBus : public QObject, public InhibitorBus {
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 2000;

    DBusInhibitorBus();
    // Tests put both services on one private bus.
    DBusInhibitorBus(const QDBusConnection& systemBus, const QDBusConnection& sessionBus);
    ~DBusInhibitorBus() override;

    void inhibitSleep(const QString& who, const QString& why, Answer answer) override;
    void releaseSleep(Handle handle) override;
    void inhibitScreenSaver(const QString& who, const QString& why, Answer answer) override;
    void releaseScreenSaver(Handle handle) override;

    // Sleep locks whose descriptor is held open.
    int heldSleepLocks() const { return int(m_sleepLocks.size()); }

private:
    void call(const QDBusConnection& bus, const QDBusMessage& message,
              std::function<void(const QDBusMessage&)> onReply);

    QDBusConnection m_system;
    QDBusConnection m_session;
    std::map<Handle, QDBusUnixFileDescriptor> m_sleepLocks;
    Handle m_nextSleepHandle = 1;
};
