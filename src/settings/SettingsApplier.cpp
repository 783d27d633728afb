#include "settings/SettingsApplier.h"

#include "settings/Settings.h"
#include "settings/SettingsApplyTarget.h"
#include "settings/TvPlacement.h"

#include <cmath>

namespace {

int rounded(double value) {
    return static_cast<int>(std::lround(value));
}

} // namespace

SettingsApplier::SettingsApplier(Settings& settings, SettingsApplyTarget& target, QObject* parent)
    : QObject(parent), m_settings(settings), m_target(target) {
    m_reopen.setSingleShot(true);
    m_reopen.setInterval(reopenDelayMs);
    connect(&m_reopen, &QTimer::timeout, this, &SettingsApplier::reopenPort);
}

void SettingsApplier::apply(const SettingsChoices& choices) {
    // A reopening still waiting belongs to the previous confirmation; this one closes anyway.
    m_reopen.stop();
    m_settings.vidResult = choices.vidResult == 0 ? 0 : 1;
    m_target.setTimeFormat(m_settings.vidResult);
    m_settings.lockTime = rounded(choices.lockTimeSeconds * 1000);
    m_settings.backupLine = choices.backupLine;
    m_settings.backupLockTime = rounded(choices.backupLockSeconds * 1000);
    m_settings.stuckLimit = rounded(choices.stuckLimitSeconds * 1000);
    m_target.applyBarrierSettings();
    m_settings.timer = rounded(choices.timerSeconds * 1000);
    m_settings.monitor = choices.screenIndex;
    m_settings.len = rounded(choices.lengthMetres);
    m_settings.maxRunTime = qBound(0, rounded(choices.maxRunSeconds), 3600);
    m_settings.certificatesAfterRelease = choices.certificatesAfterRelease;
    m_target.takeTimerAndSection();
    m_target.recolourDisplay();
    if (m_tv) {
        Q_EMIT m_tv->placeTvWindows();
        // The footer of the "Zeit" window is laid out for its screen, the logo with it.
        Q_EMIT m_tv->reloadLogo();
    }
    m_target.showSettledTimes();
    m_target.closePort();
    m_settings.port = 0;
    if (!choices.portChosen) {
        finish();
        return;
    }
    m_settings.port = choices.portNumber;
    m_settings.alg = choices.alg;
    m_target.applyBarrierSettings();
    if (choices.portNumber == 0) {
        finish();
        return;
    }
    m_portToOpen = choices.portNumber;
    m_reopen.start();
}

void SettingsApplier::reopenPort() {
    // The setting keeps the chosen number even when opening fails, as the dialog showed it;
    // the barriers stay inactive and the operator is told why.
    if (const std::optional<int> error = m_target.openPort(m_portToOpen))
        m_target.reportPortFailure(m_portToOpen, *error);
    finish();
}

void SettingsApplier::finish() {
    m_target.showTimerButton();
    Q_EMIT applied();
}
