#include "FakeInhibitServices.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

FakeInhibitServices::~FakeInhibitServices() {
    for (int fd : m_lockReadEnds)
        ::close(fd);
}

bool FakeInhibitServices::serveOn(QDBusConnection connection) {
    return connection.registerService(QStringLiteral("org.freedesktop.login1")) &&
           connection.registerService(QStringLiteral("org.freedesktop.ScreenSaver")) &&
           connection.registerVirtualObject(QStringLiteral("/org/freedesktop/login1"), this) &&
           connection.registerVirtualObject(QStringLiteral("/org/freedesktop/ScreenSaver"), this);
}

bool FakeInhibitServices::sleepLockClosed(int index) const {
    if (index < 0 || index >= int(m_lockReadEnds.size()))
        return false;
    pollfd look{m_lockReadEnds[size_t(index)], POLLIN, 0};
    if (::poll(&look, 1, 0) != 1)
        return false;
    char byte = 0;
    return ::read(look.fd, &byte, 1) == 0;
}

QString FakeInhibitServices::introspect(const QString&) const {
    return QString();
}

bool FakeInhibitServices::handleMessage(const QDBusMessage& message,
                                        const QDBusConnection& connection) {
    QStringList words;
    for (const QVariant& argument : message.arguments())
        words.append(argument.toString());
    if (message.interface() == QLatin1String("org.freedesktop.login1.Manager") &&
        message.member() == QLatin1String("Inhibit")) {
        calls.append(QStringLiteral("Inhibit ") + words.join(u' '));
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return false;
        m_lockReadEnds.push_back(ends[0]);
        const QDBusUnixFileDescriptor lock(ends[1]);
        ::close(ends[1]);
        return connection.send(message.createReply(QVariant::fromValue(lock)));
    }
    if (message.interface() != QLatin1String("org.freedesktop.ScreenSaver"))
        return false;
    calls.append(QStringLiteral("ScreenSaver.") + message.member() + u' ' + words.join(u' '));
    if (message.member() == QLatin1String("Inhibit"))
        return connection.send(message.createReply(QVariant::fromValue(m_nextCookie++)));
    return connection.send(message.createReply());
}
