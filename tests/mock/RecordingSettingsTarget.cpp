#include "mock/RecordingSettingsTarget.h"

void RecordingSettingsTarget::setTimeFormat(int vidResult) {
    steps.append(QStringLiteral("format %1").arg(vidResult));
}

void RecordingSettingsTarget::applyBarrierSettings() {
    steps.append(
        QStringLiteral("barriers lock %1 alg %2").arg(m_settings.lockTime).arg(m_settings.alg));
}

void RecordingSettingsTarget::takeTimerAndSection() {
    steps.append(QStringLiteral("timer %1 len %2 monitor %3")
                     .arg(m_settings.timer)
                     .arg(m_settings.len)
                     .arg(m_settings.monitor));
}

void RecordingSettingsTarget::recolourDisplay() {
    steps.append(QStringLiteral("recolour"));
}

void RecordingSettingsTarget::showSettledTimes() {
    steps.append(QStringLiteral("times"));
}

void RecordingSettingsTarget::closePort() {
    steps.append(QStringLiteral("close"));
}

std::optional<int> RecordingSettingsTarget::openPort(int port) {
    steps.append(QStringLiteral("open %1").arg(port));
    if (failingPorts.contains(port))
        return failingPorts.value(port);
    return std::nullopt;
}

void RecordingSettingsTarget::reportPortFailure(int port, int error) {
    steps.append(QStringLiteral("failed %1 errno %2").arg(port).arg(error));
}

void RecordingSettingsTarget::showTimerButton() {
    steps.append(QStringLiteral("timer button, port %1").arg(m_settings.port));
}
