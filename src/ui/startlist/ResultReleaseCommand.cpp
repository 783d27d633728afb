#include "ui/startlist/ResultReleaseCommand.h"

#include "competition/Competition.h"
#include "session/RaceSession.h"
#include "session/ResultReleaseKeeper.h"
#include "ui/startlist/ResultReleaseDialog.h"

#include <QAction>

ResultReleaseCommand::ResultReleaseCommand(RaceSession& session, QAction& action, Ask ask,
                                           Tell tell, QWidget* window)
    : QObject(window), m_session(session), m_action(action), m_ask(std::move(ask)),
      m_tell(std::move(tell)), m_window(window) {
    connect(&action, &QAction::triggered, this, &ResultReleaseCommand::show);
    const CompetitionTable* table = &session.competition().heatStartList();
    connect(table, &QAbstractItemModel::dataChanged, this, &ResultReleaseCommand::updateAction);
    connect(table, &QAbstractItemModel::modelReset, this, &ResultReleaseCommand::updateAction);
    connect(table, &QAbstractItemModel::rowsRemoved, this, &ResultReleaseCommand::updateAction);
    connect(table, &QAbstractItemModel::rowsInserted, this, &ResultReleaseCommand::updateAction);
    updateAction();
}

ResultReleaseCommand::~ResultReleaseCommand() {
    delete m_dialog;
}

ResultReleaseDialog* ResultReleaseCommand::dialog() const {
    return m_dialog;
}

void ResultReleaseCommand::updateAction() {
    const bool results = ResultRelease::hasResults(m_session.competition().heatStartList());
    m_action.setEnabled(results);
    m_action.setToolTip(results ? QString() : noResultsHint());
    m_action.setStatusTip(m_action.toolTip());
}

void ResultReleaseCommand::show() {
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    // Beside the window, not in front of it: the timing goes on while it is open.
    auto* dialog = new ResultReleaseDialog(m_session.competition(), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &ResultReleaseDialog::releaseRequested, this, &ResultReleaseCommand::release);
    connect(dialog, &ResultReleaseDialog::releaseAllRequested, this,
            &ResultReleaseCommand::releaseAll);
    connect(dialog, &ResultReleaseDialog::withdrawRequested, this, &ResultReleaseCommand::withdraw);
    m_dialog = dialog;
    dialog->show();
}

bool ResultReleaseCommand::release(const QStringList& classes) {
    ResultReleaseKeeper* keeper = m_session.release();
    const ResultRelease& state = m_session.competition().release();
    QStringList preliminary;
    for (const QString& klass : classes) {
        if (!state.isReleased(klass))
            preliminary.append(klass);
    }
    if (!keeper || preliminary.isEmpty() ||
        !(m_ask && m_ask(ResultReleaseKeeper::releaseQuestion(preliminary))))
        return false;
    return !keeper->release(preliminary).isEmpty();
}

bool ResultReleaseCommand::releaseAll() {
    ResultReleaseKeeper* keeper = m_session.release();
    return keeper && release(keeper->preliminaryClasses());
}

bool ResultReleaseCommand::withdraw(const QStringList& classes) {
    ResultReleaseKeeper* keeper = m_session.release();
    const ResultRelease& state = m_session.competition().release();
    QStringList released;
    for (const QString& klass : classes) {
        if (state.isReleased(klass))
            released.append(klass);
    }
    if (!keeper || released.isEmpty() ||
        !(m_ask && m_ask(ResultReleaseKeeper::withdrawQuestion(released))))
        return false;
    return !keeper->withdraw(released).isEmpty();
}

bool ResultReleaseCommand::admitCertificates() {
    const QStringList withheld = m_session.certificatesWithheld();
    if (withheld.isEmpty())
        return true;
    if (release(withheld) && m_session.certificatesWithheld().isEmpty())
        return true;
    if (m_tell)
        m_tell(ResultReleaseKeeper::certificateRefusal(m_session.certificatesWithheld()));
    return false;
}
