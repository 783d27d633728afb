#include "ui/SubstituteTimeCommand.h"

#include "competition/Competition.h"
#include "journal/JournalRecorder.h"
#include "session/ProgramEnvironment.h"
#include "session/RaceSession.h"
#include "settings/Settings.h"
#include "timing/BarrierLogic.h"
#include "timing/RunClock.h"
#include "ui/SubstituteTimeDialog.h"
#include "ui/TFormMain.h"

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

SubstituteTimeCommand::SubstituteTimeCommand(TFormMain& window, FileDialogs& fileDialogs,
                                             QAction& action, JournalRecorder& recorder,
                                             bool handTime, QObject* parent)
    : QObject(parent), m_window(window), m_fileDialogs(fileDialogs), m_action(action),
      m_recorder(recorder), m_handTime(handTime) {
    connect(&window.session().clock(), &RunClock::stateChanged, this,
            &SubstituteTimeCommand::updateEnabled);
    connect(&action, &QAction::triggered, this, &SubstituteTimeCommand::execute);
    updateEnabled();
}

void SubstituteTimeCommand::updateEnabled() {
    const bool stopped = m_window.session().clock().state() == RunClock::State::Stopped;
    m_action.setEnabled(stopped);
    m_action.setToolTip(stopped ? QString() : needsStoppedRunHint());
    m_action.setStatusTip(m_action.toolTip());
}

void SubstituteTimeCommand::execute() {
    RaceSession& session = m_window.session();
    RunClock& clock = session.clock();
    const BackupStopLogic& backup = session.barriers().backupStop();
    if (clock.state() != RunClock::State::Stopped || !backup.currentRun())
        return;
    // The key's stop time must not go in by itself while the operator decides.
    clock.holdAutoEntry();

    SubstituteEvidence::Input input;
    for (const RunStops& run : backup.finishedRuns())
        input.runs.push_back(runTimes(run));
    input.target = static_cast<int>(input.runs.size());
    input.runs.push_back(runTimes(*backup.currentRun()));
    input.event = session.settings().title;
    input.competitor =
        session.currentCompetitor() + QStringLiteral(" (") + session.currentClub() + u')';
    input.when = QDateTime::currentDateTime();
    input.decimalSeparator = session.environment().decimalSeparator();

    SubstituteTimeDialog dialog(input, session.competition().timeFormat(), m_fileDialogs,
                                m_handTime, &m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::optional<qint32> result = dialog.resultHundredths();
    if (!result || clock.state() != RunClock::State::Stopped)
        return;
    m_recorder.note(QStringLiteral("Ersatzzeit"), SubstituteEvidence::summary(dialog.evidence()));
    // The key's stop time is journaled as not entered; the substitute takes its place.
    clock.reset();
    session.enterResult(*result * 10);
}
