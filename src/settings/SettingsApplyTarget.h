#pragma once

#include <optional>

// The parts of the running program a confirmed settings dialog changes, one call per step, so
// the order of the steps is kept in one place and can be checked without a window.
class SettingsApplyTarget {
public:
    virtual ~SettingsApplyTarget() = default;

    // Results are written in this format from now on.
    virtual void setTimeFormat(int vidResult) = 0;
    // The stop lock and the contact logic of the barriers, from the settings as they are now.
    virtual void applyBarrierSettings() = 0;
    // The countdown mode and the "Zwischen" button from "Timer" and "Len".
    virtual void takeTimerAndSection() = 0;
    virtual void recolourDisplay() = 0;
    // Zero on the upper row and the best time or zero on the lower, unless a run goes on.
    virtual void showSettledTimes() = 0;
    virtual void closePort() = 0;
    // Nothing when the port opened, else the errno of the failure (0 when not known).
    virtual std::optional<int> openPort(int port) = 0;
    virtual void reportPortFailure(int port, int error) = 0;
    // TIMER and its command by the countdown mode, and where the focus goes.
    virtual void showTimerButton() = 0;
};
