#pragma once

#include "settings/SettingsChoices.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class SettingsApplyTarget;
class TvPlacement;
struct Settings;

// Applies a confirmed settings dialog in its fixed order: time format, stop lock, timer,
// screen, countdown, last section, display colour, TV windows, shown times, then the port is
// closed and, after a pause that lets an adapter go, opened again, and last the TIMER button.
// The pause runs on a timer, so the window keeps working while it passes.
class SettingsApplier : public QObject {
    Q_OBJECT
public:
    static constexpr int reopenDelayMs = 50;

    SettingsApplier(Settings& settings, SettingsApplyTarget& target, QObject* parent = nullptr);

    // May be null: then there are no TV windows to place.
    void setTvPlacement(TvPlacement* tv) { m_tv = tv; }

    void apply(const SettingsChoices& choices);
    // Whether the port is still to be opened and the last step still to come.
    bool isPending() const { return m_reopen.isActive(); }

Q_SIGNALS:
    // Every step has run, the reopening of the port included.
    void applied();

private:
    void reopenPort();
    void finish();

    Settings& m_settings;
    SettingsApplyTarget& m_target;
    QPointer<TvPlacement> m_tv;
    QTimer m_reopen;
    int m_portToOpen = 0;
};
