#include "ui/startlist/RunStateCommands.h"

#include "competition/Competition.h"
#include "competition/RunStateEntry.h"
#include "competition/StageTables.h"
#include "competition/widgets/CompetitionTableView.h"
#include "session/RaceSession.h"
#include "timing/RunClock.h"
#include "ui/window/StagePages.h"

#include <QAction>
#include <QMenu>

namespace {

constexpr int NoticeMs = 15000;

const std::array<QString, 3> Captions{QStringLiteral("Nicht angetreten (DNS)"),
                                      QStringLiteral("Nicht im Ziel (DNF)"),
                                      QStringLiteral("Disqualifiziert (DSQ)")};
const std::array<const char*, 3> Names{"mDNS", "mDNF", "mDSQ"};

bool isStartListPage(int page) {
    return page == 0 || page == 2;
}

QString runNumber(int heatColumn) {
    return QString::number(heatColumn - StageTables::Heat::Zeit1 + 1);
}

} // namespace

RunStateCommands::RunStateCommands(Inputs inputs, QObject* parent)
    : QObject(parent), m_in(std::move(inputs)) {
    for (int i = 0; i < 3; ++i) {
        const auto kind = static_cast<RunState::Kind>(i);
        m_states[size_t(i)] = new QAction(Captions[size_t(i)], this);
        m_states[size_t(i)]->setObjectName(QString::fromLatin1(Names[size_t(i)]));
        connect(m_states[size_t(i)], &QAction::triggered, this, [this, kind] { enterState(kind); });
    }
    QMenu* heatPopup = &m_in.heatPopup;
    m_finalPopup = new QMenu(&m_in.finalStartList);
    m_finalPopup->setObjectName(QStringLiteral("PopupMenuFinal"));
    heatPopup->addSeparator();
    for (QMenu* popup : {heatPopup, m_finalPopup}) {
        for (QAction* entry : m_states)
            popup->addAction(entry);
        popup->addAction(&m_in.rerun);
        connect(popup, &QMenu::aboutToShow, this, &RunStateCommands::refresh);
    }
    m_in.finalStartList.setPopupMenu(m_finalPopup);

    connect(&m_in.rerun, &QAction::triggered, this, &RunStateCommands::rerun);
    connect(&m_in.clockMenu, &QMenu::aboutToShow, this, &RunStateCommands::refresh);
    RunClock& clock = m_in.session.clock();
    connect(&m_in.notFinished, &QAction::triggered, &clock, &RunClock::notFinished);
    connect(&clock, &RunClock::controlStatesChanged, &m_in.notFinished,
            [entry = &m_in.notFinished](const ControlStates& states) {
                entry->setEnabled(states.stop.enabled);
            });
    m_in.notFinished.setEnabled(clock.controlStates().stop.enabled);

    // Ctrl+R must know at once whether the selected competitor has a run to repeat.
    Competition& c = m_in.session.competition();
    for (CompetitionTable* table : {&c.heatStartList(), &c.finalStartList()}) {
        connect(table, &CompetitionTable::rowSelected, this, &RunStateCommands::refresh);
        connect(table, &QAbstractItemModel::dataChanged, this, &RunStateCommands::refresh);
        connect(table, &QAbstractItemModel::modelReset, this, &RunStateCommands::refresh);
    }
    connect(&m_in.pages, &StagePages::pageChanged, this, &RunStateCommands::refresh);
    refresh();
}

int RunStateCommands::activePage() const {
    return qMax(0, m_in.pages.currentIndex());
}

void RunStateCommands::tell(const QString& text) {
    if (m_in.tell)
        m_in.tell(text, NoticeMs);
}

void RunStateCommands::refresh() {
    const int page = activePage();
    Competition& c = m_in.session.competition();
    QString stateHint;
    QString rerunHint;
    if (!isStartListPage(page)) {
        stateHint = rerunHint = QStringLiteral("Nur in der Startliste und der Endlauf-Startliste");
    } else {
        const CompetitionTable& list = c.stageTable(page);
        if (list.cell(StageTables::Heat::Nr, list.selectedRow()).trimmed().isEmpty())
            stateHint = rerunHint = QStringLiteral("Die gewählte Zeile hat keine Startnummer");
        else if (!RunStateEntry::lastEnteredRun(c, page))
            rerunHint = QStringLiteral("Für die gewählte Zeile ist noch kein Lauf eingetragen");
    }
    for (QAction* entry : m_states) {
        entry->setEnabled(stateHint.isEmpty());
        entry->setToolTip(stateHint);
    }
    QAction* rerun = &m_in.rerun;
    rerun->setEnabled(rerunHint.isEmpty());
    rerun->setToolTip(rerunHint);
}

void RunStateCommands::enterState(RunState::Kind kind) {
    const int page = activePage();
    if (!isStartListPage(page))
        return;
    Competition& c = m_in.session.competition();
    const CompetitionTable& list = c.stageTable(page);
    if (!m_in.session.admitsRowChange(list, list.selectedRow()))
        return;
    const QString number = list.cell(StageTables::Heat::Nr, list.selectedRow());
    switch (RunStateEntry::enterState(c, page, kind)) {
    case RunStateEntry::Outcome::Written:
        break;
    case RunStateEntry::Outcome::NoFreeRun:
        tell(QStringLiteral("Alle Läufe von Nr. ") + number + QStringLiteral(" sind eingetragen"));
        break;
    case RunStateEntry::Outcome::NotInHeatList:
        tell(QStringLiteral("Nr. ") + number + QStringLiteral(" fehlt in der Startliste"));
        break;
    case RunStateEntry::Outcome::NoCompetitor:
    case RunStateEntry::Outcome::NoEnteredRun:
        break;
    }
}

void RunStateCommands::rerun() {
    const int page = activePage();
    Competition& c = m_in.session.competition();
    const auto run = RunStateEntry::lastEnteredRun(c, page);
    if (!isStartListPage(page) || !run)
        return;
    const CompetitionTable& list = c.stageTable(page);
    const int row = list.selectedRow();
    const QString number = list.cell(StageTables::Heat::Nr, row);
    const int heatRow = c.heatStartList().findRow(StageTables::Heat::Nr, number);
    const QString text = c.heatStartList().cell(*run, page == 0 ? row : heatRow);
    if (!m_in.ask ||
        !m_in.ask(QStringLiteral("Lauf ") + runNumber(*run) + QStringLiteral(" von Nr. ") + number +
                  QStringLiteral(" (") + text + QStringLiteral(") wiederholen?")))
        return;
    // Asked again: the list may have changed while the question was open (a result entered).
    if (RunStateEntry::lastEnteredRun(c, page) == run)
        RunStateEntry::repeatRun(c, page);
}
