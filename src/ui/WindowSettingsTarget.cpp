#include "ui/WindowSettingsTarget.h"

#include "competition/Competition.h"
#include "settings/PortOpenFailure.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "timing/TimeDisplay.h"
#include "ui/MainStatusBar.h"
#include "ui/TFormMain.h"
#include "ui/TimingWiring.h"

WindowSettingsTarget::WindowSettingsTarget(TFormMain& window) : m_window(window) {}

void WindowSettingsTarget::setTimeFormat(int vidResult) {
    m_window.competition().setTimeFormat(
        TimeFormat(vidResult, m_window.environment().decimalSeparator()));
}

void WindowSettingsTarget::applyBarrierSettings() {
    m_window.timingWiring().barriers().applySettings(
        TimingWiring::timingSettings(m_window.settings()));
}

void WindowSettingsTarget::takeTimerAndSection() {
    m_window.timingWiring().clock().takeSettings(TimingWiring::timingSettings(m_window.settings()));
}

void WindowSettingsTarget::recolourDisplay() {
    m_window.timingWiring().display().RecolourDisplay();
}

void WindowSettingsTarget::showSettledTimes() {
    m_window.timingWiring().clock().showSettledTimes();
}

void WindowSettingsTarget::closePort() {
    m_window.timingWiring().port().close();
}

std::optional<int> WindowSettingsTarget::openPort(int port) {
    LightBarrierPort& barrierPort = m_window.timingWiring().port();
    if (barrierPort.open(port))
        return std::nullopt;
    return barrierPort.lastErrorCode();
}

void WindowSettingsTarget::reportPortFailure(int port, int error) {
    m_window.StatusBar1()->showMessage(PortOpenFailure::statusText(port, error), FailureNoticeMs);
}

void WindowSettingsTarget::showTimerButton() {
    m_window.timingWiring().clock().showTimerButton();
}
