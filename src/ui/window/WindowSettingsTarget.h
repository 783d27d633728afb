#pragma once

#include "competition/StartListCommands.h"
#include "settings/SettingsApplyTarget.h"

#include <QString>

class MainWindow;

// The steps of a confirmed settings dialog carried out on the main window: the competition's
// time format, the barriers, the run clock, the time display, the light-barrier port and the
// status bar.
class WindowSettingsTarget : public SettingsApplyTarget {
public:
    // How long the status bar shows that the port could not be opened.
    static constexpr int FailureNoticeMs = 60000;

    explicit WindowSettingsTarget(MainWindow& window);

    static QString conversionQuestion(const StartListCommands::TimeConversion& plan);

    // With times entered, converts them into the new format after asking; declined, the format
    // and the "VidResult" setting stay as they were.
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
    MainWindow& m_window;
};
