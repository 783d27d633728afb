#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

// The desktop services that keep the machine awake, as the competition inhibitor asks them.
// Every request is answered exactly once, maybe later; an empty answer means the service is
// not there or refused, and the program goes on without.
class InhibitorBus {
public:
    using Handle = quint64;
    using Answer = std::function<void(std::optional<Handle>)>;

    virtual ~InhibitorBus() = default;

    // No suspend and no idle action of the system until released.
    virtual void inhibitSleep(const QString& who, const QString& why, Answer answer) = 0;
    virtual void releaseSleep(Handle handle) = 0;
    // No screen blanking by the session until released.
    virtual void inhibitScreenSaver(const QString& who, const QString& why, Answer answer) = 0;
    virtual void releaseScreenSaver(Handle handle) = 0;
};
