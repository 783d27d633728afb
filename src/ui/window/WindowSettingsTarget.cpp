#include "ui/window/WindowSettingsTarget.h"

#include "competition/Competition.h"
#include "competition/StartListCommands.h"
#include "competition/TimeNotation.h"
#include "journal/JournalRecorder.h"
#include "output/BackupWriter.h"
#include "session/RaceSession.h"
#include "session/SessionJournal.h"
#include "settings/PortOpenFailure.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "timing/TimeDisplay.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"

WindowSettingsTarget::WindowSettingsTarget(MainWindow& window) : m_window(window) {}

QString WindowSettingsTarget::conversionQuestion(const StartListCommands::TimeConversion& plan) {
    return QStringLiteral("Ergebnis: Die %1 eingetragenen Zeiten werden in das neue Format "
                          "umgerechnet („%2“ wird „%3“). Umrechnen und das Format wechseln?")
        .arg(plan.cells)
        .arg(plan.before, plan.after);
}

void WindowSettingsTarget::setTimeFormat(int vidResult) {
    Competition& competition = m_window.session().competition();
    const TimeFormat from = competition.timeFormat();
    const TimeFormat to(vidResult, m_window.session().environment().decimalSeparator());
    CompetitionTable& heats = competition.heatStartList();
    // The entered times keep their value: "5023" is 50,23 s and becomes "50,23", not 5023 s.
    const StartListCommands::TimeConversion plan =
        StartListCommands::PlanTimeConversion(heats, from, to);
    if (plan.cells > 0) {
        if (!m_window.askQuestion(conversionQuestion(plan))) {
            // Declined: the times and the format they are written in stay as they are.
            m_window.session().settings().vidResult = from.setting();
            return;
        }
        BackupWriter* backup = m_window.session().backup();
        std::optional<BackupWriter::Batch> oneWrite;
        if (backup)
            oneWrite.emplace(*backup);
        // The journal tells why every time cell changed at once.
        if (SessionJournal* journal = m_window.session().journal())
            journal->recorder().commandChosen(QStringLiteral("Ergebnis: ") + to.formatTime(1024));
        StartListCommands::ConvertTimes(heats, from, to);
        // A substitute stays one in the new notation.
        if (TimeNotation::convertMarks(competition.substituteMarks(), to))
            Q_EMIT competition.substituteMarksChanged();
    }
    competition.setTimeFormat(to);
    if (plan.cells > 0) {
        m_window.deriveAll();
        m_window.updateTvWindows();
    }
}

void WindowSettingsTarget::applyBarrierSettings() {
    m_window.session().barriers().applySettings(
        RaceSession::timingSettings(m_window.session().settings()));
}

void WindowSettingsTarget::takeTimerAndSection() {
    m_window.session().clock().takeSettings(
        RaceSession::timingSettings(m_window.session().settings()));
}

void WindowSettingsTarget::recolourDisplay() {
    m_window.session().display().recolourDisplay();
}

void WindowSettingsTarget::showSettledTimes() {
    m_window.session().clock().showSettledTimes();
}

void WindowSettingsTarget::closePort() {
    m_window.session().port().close();
}

std::optional<int> WindowSettingsTarget::openPort(int port) {
    LightBarrierPort& barrierPort = m_window.session().port();
    if (barrierPort.open(port))
        return std::nullopt;
    return barrierPort.lastErrorCode();
}

void WindowSettingsTarget::reportPortFailure(int port, int error) {
    m_window.mainStatusBar()->showMessage(PortOpenFailure::statusText(port, error),
                                          FailureNoticeMs);
}

void WindowSettingsTarget::showTimerButton() {
    m_window.session().clock().showTimerButton();
}
