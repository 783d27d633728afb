#pragma once

#include "platform/InhibitorBus.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <memory>
#include <optional>

// Keeps the machine awake for the competition: while any part of it is busy (a run is timed,
// an audience window is shown), neither suspend nor screen blanking may happen, since a run
// across a suspend would be timed short and a blank screen hides the time. Without the
// desktop's services the program goes on without.
class CompetitionInhibitor : public QObject {
    Q_OBJECT
public:
    // Without a bus the system's D-Bus services are asked.
    explicit CompetitionInhibitor(const QString& who, std::shared_ptr<InhibitorBus> bus = {},
                                  QObject* parent = nullptr);
    ~CompetitionInhibitor() override;

    static QString reason();

    // Whether the competition needs the machine awake now.
    bool wanted() const { return !m_busyFor.isEmpty(); }
    bool sleepInhibited() const { return m_sleep.held.has_value(); }
    bool screenSaverInhibited() const { return m_screenSaver.held.has_value(); }

public Q_SLOTS:
    // Each part of the competition says for itself, under a reason of its own, whether it
    // is busy; the machine stays awake while any reason is busy.
    void setBusy(const QString& reason, bool busy);

private:
    struct Inhibition {
        std::optional<InhibitorBus::Handle> held;
        bool pending = false;
        bool refused = false; // until the competition next lets the machine rest
    };
    using Request = void (InhibitorBus::*)(const QString&, const QString&, InhibitorBus::Answer);
    using Release = void (InhibitorBus::*)(InhibitorBus::Handle);

    void update();
    void follow(Inhibition& inhibition, Request request, Release release);

    QString m_who;
    std::shared_ptr<InhibitorBus> m_bus;
    QSet<QString> m_busyFor;
    Inhibition m_sleep;
    Inhibition m_screenSaver;
};
