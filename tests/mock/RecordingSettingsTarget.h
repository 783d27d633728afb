#pragma once

#include "settings/Settings.h"
#include "settings/SettingsApplyTarget.h"

#include <QMap>
#include <QStringList>

// Writes down every step a settings confirmation takes, with the settings the step saw, and
// fails the ports it is told to.
class RecordingSettingsTarget : public SettingsApplyTarget {
public:
    explicit RecordingSettingsTarget(const Settings& settings) : m_settings(settings) {}

    QStringList steps;
    // Port number -> errno of its failure.
    QMap<int, int> failingPorts;

    void setTimeFormat(int vidResult) override;
    void applyBarrierSettings() override;
    void takeTimerAndSection() override;
    void recolourDisplay() override;
    void showSettledTimes() override;
    void closePort() override;
    std::optional<int> openPort(int port) override;
    void reportPortFailure(int port, int error) override;
    void showTimerButton() override;

private:
    const Settings& m_settings;
};
