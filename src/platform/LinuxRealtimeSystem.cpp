#include "platform/LinuxRealtimeSystem.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

#include <algorithm>
#include <cerrno>
#include <sched.h>
#include <sys/resource.h>

namespace {

const QString Service = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString Path = QStringLiteral("/org/freedesktop/RealtimeKit1");

QString errorText(const QDBusMessage& reply) {
    return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
}

// The bus, or nothing with why; connecting fails at once when no system bus runs.
std::optional<QDBusConnection> systemBus(QString* error) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (bus.isConnected())
        return bus;
    *error = QStringLiteral("kein System-D-Bus (%1)").arg(bus.lastError().message());
    return std::nullopt;
}

} // namespace

std::shared_ptr<RealtimeSystem> LinuxRealtimeSystem::instance() {
    static const std::shared_ptr<RealtimeSystem> system = std::make_shared<LinuxRealtimeSystem>();
    return system;
}

int LinuxRealtimeSystem::realtimePriorityLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0)
        return 0;
    return limit.rlim_cur == RLIM_INFINITY ? 99
                                           : static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 99));
}

int LinuxRealtimeSystem::setFifo(qint64 thread, int priority) {
    sched_param parameter{};
    parameter.sched_priority = priority;
    // Linux takes a thread id where POSIX says process id.
    if (sched_setscheduler(static_cast<pid_t>(thread), SCHED_FIFO | SCHED_RESET_ON_FORK,
                           &parameter) != 0)
        return -errno;
    return 0;
}

std::optional<RealtimeSystem::KitLimits> LinuxRealtimeSystem::realtimeKitLimits(QString* error) {
    std::optional<QDBusConnection> bus = systemBus(error);
    if (!bus)
        return std::nullopt;
    // RealtimeKit answers Get only, not GetAll.
    const auto property = [&](const QString& name) -> std::optional<qint64> {
        QDBusMessage call = QDBusMessage::createMethodCall(
            Service, Path, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        call << Service << name;
        const QDBusMessage reply = bus->call(call, QDBus::Block, BusTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            *error = errorText(reply);
            return std::nullopt;
        }
        bool ok = false;
        const qint64 value =
            reply.arguments().constFirst().value<QDBusVariant>().variant().toLongLong(&ok);
        if (!ok)
            *error = QStringLiteral("unlesbare Eigenschaft %1").arg(name);
        return ok ? std::optional(value) : std::nullopt;
    };
    const std::optional<qint64> priority = property(QStringLiteral("MaxRealtimePriority"));
    if (!priority)
        return std::nullopt;
    const std::optional<qint64> runtime = property(QStringLiteral("RTTimeUSecMax"));
    if (!runtime)
        return std::nullopt;
    return KitLimits{static_cast<int>(*priority), *runtime};
}

int LinuxRealtimeSystem::limitRealtimeRuntime(qint64 microseconds) {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTTIME, &limit) != 0)
        return -errno;
    const auto wanted = static_cast<rlim_t>(std::max<qint64>(microseconds, 1));
    const rlim_t soft = limit.rlim_cur == RLIM_INFINITY ? wanted : std::min(limit.rlim_cur, wanted);
    const rlim_t hard = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(limit.rlim_max, wanted);
    if (soft == limit.rlim_cur && hard == limit.rlim_max)
        return 0;
    const rlimit lowered{soft, hard};
    return setrlimit(RLIMIT_RTTIME, &lowered) == 0 ? 0 : -errno;
}

QString LinuxRealtimeSystem::makeThreadRealtime(qint64 thread, int priority) {
    QString error;
    std::optional<QDBusConnection> bus = systemBus(&error);
    if (!bus)
        return error;
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Service,
                                                       QStringLiteral("MakeThreadRealtime"));
    call << QVariant::fromValue(static_cast<quint64>(thread))
         << QVariant::fromValue(static_cast<quint32>(priority));
    const QDBusMessage reply = bus->call(call, QDBus::Block, BusTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage ? QString() : errorText(reply);
}
