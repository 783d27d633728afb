#include "platform/CompetitionInhibitor.h"

#include "platform/DBusInhibitorBus.h"

#include <functional>

CompetitionInhibitor::CompetitionInhibitor(const QString& who, std::shared_ptr<InhibitorBus> bus,
                                           QObject* parent)
    : QObject(parent), m_who(who),
      m_bus(bus ? std::move(bus) : std::make_shared<DBusInhibitorBus>()) {}

CompetitionInhibitor::~CompetitionInhibitor() {
    if (m_sleep.held)
        m_bus->releaseSleep(*m_sleep.held);
    if (m_screenSaver.held)
        m_bus->releaseScreenSaver(*m_screenSaver.held);
}

QString CompetitionInhibitor::reason() {
    return QStringLiteral("Zeitmessung oder TV-Anzeige des Wettkampfs läuft");
}

void CompetitionInhibitor::setBusy(const QString& reason, bool busy) {
    if (busy)
        m_busyFor.insert(reason);
    else
        m_busyFor.remove(reason);
    update();
}

void CompetitionInhibitor::update() {
    follow(m_sleep, &InhibitorBus::inhibitSleep, &InhibitorBus::releaseSleep);
    follow(m_screenSaver, &InhibitorBus::inhibitScreenSaver, &InhibitorBus::releaseScreenSaver);
}

void CompetitionInhibitor::follow(Inhibition& inhibition, Request request, Release release) {
    if (!wanted()) {
        inhibition.refused = false;
        if (const auto held = std::exchange(inhibition.held, std::nullopt))
            std::invoke(release, *m_bus, *held);
        return;
    }
    // One request at a time; a service that answered empty is asked again at the next run.
    if (inhibition.held || inhibition.pending || inhibition.refused)
        return;
    inhibition.pending = true;
    QPointer<CompetitionInhibitor> self(this);
    InhibitorBus* bus = m_bus.get();
    auto answer = [self, bus, &inhibition, release](std::optional<InhibitorBus::Handle> handle) {
        if (!self) {
            if (handle)
                std::invoke(release, *bus, *handle);
            return;
        }
        inhibition.pending = false;
        if (!handle) {
            inhibition.refused = self->wanted();
            return;
        }
        // The competition may have ended while the answer was on its way.
        if (self->wanted())
            inhibition.held = handle;
        else
            std::invoke(release, *bus, *handle);
    };
    std::invoke(request, *m_bus, m_who, reason(), std::move(answer));
}
