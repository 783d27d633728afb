#pragma once

#include "platform/InhibitorBus.h"
#include "timing/RunClock.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

// Keeps the machine awake for the competition: while a run is timed (the run clock is not
// Ready) or an audience window is shown, neither suspend nor screen blanking may happen, since
// a run across a suspend would be timed short and a blank screen hides the time. Without the
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
    bool wanted() const { return m_clockBusy || m_audienceShown; }
    bool sleepInhibited() const { return m_sleep.held.has_value(); }
    bool screenSaverInhibited() const { return m_screenSaver.held.has_value(); }

public Q_SLOTS:
    void setClockState(RunClock::State state);
    // The TV mode tells whether one of its audience windows is on screen.
    void setAudienceWindowShown(bool shown);

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
    bool m_clockBusy = false;
    bool m_audienceShown = false;
    Inhibition m_sleep;
    Inhibition m_screenSaver;
};
