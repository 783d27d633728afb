#include "ui/SubstituteTimeCommand.h"

#include "competition/Competition.h"
#include "journal/JournalRecorder.h"
#include "settings/Settings.h"
#include "timing/BarrierLogic.h"
#include "timing/RunClock.h"
#include "ui/SubstituteTimeDialog.h"
#include "ui/TFormMain.h"
#include "ui/TimingWiring.h"

#include <QAction>

namespace {

SubstituteTime::Run runTimes(const RunStops& run) {
    SubstituteTime::Run times;
    if (run.stopA)
        times.aMicroseconds = *run.stopA - run.start;
    if (run.stopB)
        times.bMicroseconds = *run.stopB - run.start;
    return times;
}

} // namespace

SubstituteTimeCommand::SubstituteTimeCommand(TFormMain& window, QAction& action,
                                             JournalRecorder& recorder, bool handTime,
                                             QObject* parent)
    : QObject(parent), m_window(window), m_action(action), m_recorder(recorder),
      m_handTime(handTime) {
    connect(&window.timingWiring().clock(), &RunClock::stateChanged, this,
            &SubstituteTimeCommand::updateEnabled);
    connect(&action, &QAction::triggered, this, &SubstituteTimeCommand::execute);
    updateEnabled();
}

void SubstituteTimeCommand::updateEnabled() {
    const bool stopped = m_window.timingWiring().clock().state() == RunClock::State::Stopped;
    m_action.setEnabled(stopped);
    m_action.setToolTip(stopped ? QString() : needsStoppedRunHint());
    m_action.setStatusTip(m_action.toolTip());
}

void SubstituteTimeCommand::execute() {
    TimingWiring& timing = m_window.timingWiring();
    RunClock& clock = timing.clock();
    const BackupStopLogic& backup = timing.barriers().backupStop();
    if (clock.state() != RunClock::State::Stopped || !backup.currentRun())
        return;
    // The key's stop time must not go in by itself while the operator decides.
    clock.holdAutoEntry();

    SubstituteEvidence::Input input;
    for (const RunStops& run : backup.finishedRuns())
        input.runs.push_back(runTimes(run));
    input.target = static_cast<int>(input.runs.size());
    input.runs.push_back(runTimes(*backup.currentRun()));
    input.event = m_window.settings().title;
    input.competitor =
        m_window.CurrentCompetitor() + QStringLiteral(" (") + m_window.CurrentClub() + u')';
    input.when = QDateTime::currentDateTime();
    input.decimalSeparator = m_window.environment().decimalSeparator();

    SubstituteTimeDialog dialog(input, m_window.competition().timeFormat(),
                                *m_window.environment().fileDialogs(), m_handTime, &m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::optional<qint32> result = dialog.resultHundredths();
    if (!result || clock.state() != RunClock::State::Stopped)
        return;
    m_recorder.note(QStringLiteral("Ersatzzeit"), SubstituteEvidence::summary(dialog.evidence()));
    // The key's stop time is journaled as not entered; the substitute takes its place.
    clock.reset();
    timing.enterResult(*result * 10);
}
