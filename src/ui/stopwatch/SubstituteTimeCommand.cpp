#include "ui/stopwatch/SubstituteTimeCommand.h"

#include "competition/Competition.h"
#include "competition/ResultEntry.h"
#include "competition/RunStateEntry.h"
#include "competition/StageTables.h"
#include "competition/SubstituteEntry.h"
#include "journal/JournalRecorder.h"
#include "journal/JournalRecovery.h"
#include "journal/JournalRunIndex.h"
#include "session/ProgramEnvironment.h"
#include "session/RaceSession.h"
#include "session/SessionJournal.h"
#include "settings/Settings.h"
#include "timing/RunClock.h"
#include "ui/stopwatch/SubstituteTimeDialog.h"

#include <QAction>
#include <QDateTime>

using StageTables::Heat::Nr;

namespace {

bool isStartListPage(int page) {
    return page == 0 || page == 2;
}

QString notInJournalText() {
    return QStringLiteral("Der Lauf steht nicht im Zeitprotokoll: keine Ersatzzeit möglich");
}

QString rowText(const CompetitionTable& table, int row) {
    using namespace StageTables;
    return QStringLiteral("Nr. %1 %2 %3 (%4)")
        .arg(table.cell(Heat::Nr, row), table.cell(Heat::Name, row), table.cell(Heat::Vorname, row),
             table.cell(Heat::Verein, row));
}

} // namespace

SubstituteTimeCommand::SubstituteTimeCommand(RaceSession& session, FileDialogs& fileDialogs,
                                             QAction& substitute, QAction& hand,
                                             QWidget* dialogParent, Hooks hooks, QObject* parent)
    : QObject(parent), m_session(session), m_fileDialogs(fileDialogs), m_substitute(substitute),
      m_hand(hand), m_dialogParent(dialogParent), m_hooks(std::move(hooks)) {
    connect(&session.clock(), &RunClock::stateChanged, this,
            &SubstituteTimeCommand::updateWaitingEntries);
    connect(&substitute, &QAction::triggered, this, [this] { waitingRun(false); });
    connect(&hand, &QAction::triggered, this, [this] { waitingRun(true); });
    m_competitorSubstitute = new QAction(substitute.text(), this);
    m_competitorSubstitute->setObjectName(QStringLiteral("mErsatzzeitLauf"));
    m_competitorHand = new QAction(hand.text(), this);
    m_competitorHand->setObjectName(QStringLiteral("mHandzeitLauf"));
    connect(m_competitorSubstitute, &QAction::triggered, this, [this] { competitorRun(false); });
    connect(m_competitorHand, &QAction::triggered, this, [this] { competitorRun(true); });
    if (SessionJournal* journal = session.journal()) {
        connect(&journal->runIndex(), &JournalRunIndex::ready, this, [this] {
            updateWaitingEntries();
            refreshCompetitorEntries();
        });
    }
    updateWaitingEntries();
    refreshCompetitorEntries();
}

void SubstituteTimeCommand::updateWaitingEntries() {
    QString why;
    if (m_session.clock().state() != RunClock::State::Stopped)
        why = needsStoppedRunHint();
    else
        knownRuns(why);
    for (QAction* entry : {&m_substitute, &m_hand}) {
        entry->setEnabled(why.isEmpty());
        entry->setToolTip(why);
        entry->setStatusTip(why);
    }
}

void SubstituteTimeCommand::refreshCompetitorEntries() {
    QString why;
    competitorTarget(why);
    for (QAction* entry : {m_competitorSubstitute, m_competitorHand}) {
        entry->setEnabled(why.isEmpty());
        entry->setToolTip(why);
        entry->setStatusTip(why);
    }
}

std::optional<SubstituteTimeCommand::Target>
SubstituteTimeCommand::competitorTarget(QString& why) const {
    const int page = m_session.activePage();
    if (!isStartListPage(page)) {
        why = QStringLiteral("Nur in der Startliste und der Endlauf-Startliste");
        return std::nullopt;
    }
    Competition& c = m_session.competition();
    const CompetitionTable& list = c.stageTable(page);
    const QString number = list.cell(Nr, list.selectedRow()).trimmed();
    const std::optional<int> column = RunStateEntry::lastEnteredRun(c, page);
    if (number.isEmpty())
        why = QStringLiteral("Die gewählte Zeile hat keine Startnummer");
    else if (!column)
        why = QStringLiteral("Für die gewählte Zeile ist noch kein Lauf eingetragen");
    if (!why.isEmpty())
        return std::nullopt;
    const JournalRuns* runs = knownRuns(why);
    if (!runs)
        return std::nullopt;
    // A time typed by hand or a run from another day has no stops to start from.
    const auto index = runs->lastEnteredInto(number, c.heatStartList().cell(*column, 0));
    if (!index) {
        why = notInJournalText();
        return std::nullopt;
    }
    Target target;
    target.runs = *runs;
    target.index = *index;
    target.destination = Destination::Cell;
    target.number = number;
    target.run = *column - SubstituteEntry::heatColumn(0);
    target.competitor = competitorText(number, target.run);
    return target;
}

const JournalRuns* SubstituteTimeCommand::knownRuns(QString& why) const {
    SessionJournal* journal = m_session.journal();
    if (!journal)
        return &m_noRuns;
    const JournalRuns* runs = journal->runIndex().runs();
    if (!runs)
        why = JournalRunIndex::readingText();
    return runs;
}

QString SubstituteTimeCommand::competitorText(const QString& number, int run) const {
    const CompetitionTable& heat = m_session.competition().heatStartList();
    const int row = heat.findRow(Nr, number);
    const QString cell =
        row > 0 ? heat.cell(SubstituteEntry::heatColumn(run), row).trimmed() : QString();
    return (row > 0 ? rowText(heat, row) : QStringLiteral("Nr. ") + number) +
           QStringLiteral(", Lauf %1: ").arg(run + 1) +
           (cell.isEmpty() ? QStringLiteral("–") : cell);
}

bool SubstituteTimeCommand::selectWaitingRunOwner(Target& target) const {
    const std::optional<RaceSession::RunOwner> owner = m_session.openRunOwner();
    if (!owner)
        return false;
    target.page = owner->page;
    ResultEntry::targetTable(m_session.competition(), owner->page).setRow(owner->row);
    return true;
}

bool SubstituteTimeCommand::entryTarget(Target& target, QString& why) const {
    using namespace StageTables;
    target.page = m_session.activePage();
    // The waiting run belongs to the competitor it was started for, wherever the selection is.
    if (target.destination == Destination::Waiting && !selectWaitingRunOwner(target) &&
        m_session.runOpen()) {
        why = QStringLiteral("Der Teilnehmer dieses Laufs steht nicht mehr in der Startliste");
        return false;
    }
    const int page = target.page;
    Competition& c = m_session.competition();
    const CompetitionTable& selected = ResultEntry::targetTable(c, page);
    const QString selectedRow = rowText(selected, selected.selectedRow());
    target.entry = ResultEntry::target(c, page);
    switch (target.entry.outcome) {
    case ResultEntry::Outcome::NotInHeatList:
        why = selectedRow + QStringLiteral(" fehlt in der Startliste");
        return false;
    case ResultEntry::Outcome::NoFreeFinalRun:
        why = selectedRow + QStringLiteral(" hat schon beide Endläufe");
        return false;
    case ResultEntry::Outcome::Written:
        target.competitor = rowText(c.heatStartList(), target.entry.heatRow) +
                            QStringLiteral(", Lauf %1").arg(target.entry.run + 1);
        target.newRowReason.clear();
        return true;
    case ResultEntry::Outcome::Appended:
        break;
    }
    target.competitor =
        QStringLiteral("Nr. %1 %2 %3 (%4), Lauf %5 (neue Zeile)")
            .arg(target.entry.newNumber, ResultEntry::placeholderName(),
                 ResultEntry::placeholderFirstName(), ResultEntry::placeholderClub())
            .arg(target.entry.run + 1);
    target.newRowReason =
        (selected.cell(Heat::Nr, selected.selectedRow()).isEmpty()
             ? QStringLiteral("Die gewählte Zeile hat keine Startnummer")
             : selectedRow + QStringLiteral(" hat schon drei Läufe")) +
        QStringLiteral(": die Zeit kommt in eine neue Zeile am Ende der Startliste.");
    return true;
}

void SubstituteTimeCommand::waitingRun(bool handTime) {
    RunClock& clock = m_session.clock();
    if (clock.state() != RunClock::State::Stopped)
        return;
    if (QString why; !knownRuns(why)) {
        if (m_hooks.tell)
            m_hooks.tell(why);
        return;
    }
    // The key's stop time must not go in by itself while the operator decides.
    clock.holdAutoEntry();
    journalRun(clock.startStamp(), handTime, m_dialogParent);
}

void SubstituteTimeCommand::competitorRun(bool handTime) {
    QString why;
    if (const std::optional<Target> target = competitorTarget(why))
        calculate(*target, handTime, m_dialogParent);
    else if (m_hooks.tell)
        m_hooks.tell(why);
}

QString SubstituteTimeCommand::journalRunRefusal(qint64 startStamp) const {
    const RunClock& clock = m_session.clock();
    if (clock.state() == RunClock::State::Running && clock.startStamp() == startStamp)
        return QStringLiteral("Der Lauf ist noch nicht gestoppt");
    QString why;
    knownRuns(why);
    return why;
}

void SubstituteTimeCommand::journalRun(qint64 startStamp, bool handTime, QWidget* over) {
    QString why;
    const JournalRuns* runs = knownRuns(why);
    if (!runs) {
        if (m_hooks.tell)
            m_hooks.tell(why);
        return;
    }
    Target target;
    target.runs = *runs;
    const auto index = target.runs.indexOfStart(startStamp);
    if (!index) {
        if (m_hooks.tell)
            m_hooks.tell(notInJournalText());
        return;
    }
    target.index = *index;
    const JournalRuns::Run& run = target.runs.runs()[static_cast<size_t>(*index)];
    const RunClock& clock = m_session.clock();
    const CompetitionTable& heat = m_session.competition().heatStartList();
    const std::optional<int> column = SubstituteEntry::runOfColumn(heat, run.column);
    if (const QString refusal = journalRunRefusal(startStamp); !refusal.isEmpty()) {
        if (m_hooks.tell)
            m_hooks.tell(refusal);
        return;
    }
    if (clock.state() == RunClock::State::Stopped && clock.startStamp() == startStamp) {
        target.destination = Destination::Waiting;
    } else if (!run.number.isEmpty() && column) {
        target.destination = Destination::Cell;
        target.number = run.number;
        target.run = *column;
        target.competitor = competitorText(run.number, *column);
    } else {
        // A run never entered goes where "Eintragen" in "Zeitprotokoll" would put it.
        target.destination = Destination::Selected;
    }
    // Named as the row that will hold it, which is not always the competitor shown.
    if (QString why; target.destination != Destination::Cell && !entryTarget(target, why)) {
        if (m_hooks.tell)
            m_hooks.tell(why);
        return;
    }
    calculate(target, handTime, over ? over : m_dialogParent);
}

void SubstituteTimeCommand::calculate(const Target& target, bool handTime, QWidget* over) {
    SubstituteEvidence::Input input;
    input.runs = target.runs.times();
    input.target = target.index;
    input.event = m_session.settings().title;
    input.competitor = target.competitor;
    input.when = QDateTime::currentDateTime();
    input.decimalSeparator = m_session.environment().decimalSeparator();
    SubstituteTimeDialog dialog(input, m_session.competition().timeFormat(), m_fileDialogs,
                                handTime, over);
    dialog.setPrinting(m_hooks.printers ? m_hooks.printers() : nullptr);
    dialog.setDestination(target.competitor, target.newRowReason);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const std::optional<qint32> result = dialog.resultHundredths())
        enter(target, *result, SubstituteEvidence::summary(dialog.evidence()));
}

void SubstituteTimeCommand::enter(const Target& target, qint32 hundredths,
                                  const QString& calculation) {
    SessionJournal* journal = m_session.journal();
    if (!journal)
        return;
    // A mistyped hand time can give what no run takes, nor the table holds.
    if (hundredths <= 0 || hundredths > JournalRecovery::longestRunMicroseconds / 10'000) {
        if (m_hooks.tell)
            m_hooks.tell(QStringLiteral("Keine mögliche Laufzeit: nichts eingetragen"));
        return;
    }
    Competition& c = m_session.competition();
    CompetitionTable& heat = c.heatStartList();
    const QString text = c.timeFormat().formatTime(hundredths);
    const qint64 start = target.runs.runs()[static_cast<size_t>(target.index)].start;
    const qint64 result = static_cast<qint64>(hundredths) * 10'000;
    RunClock& clock = m_session.clock();
    QString number = target.number;
    if (target.destination == Destination::Cell) {
        bool written = false;
        journal->recorder().enterSubstitute(start, result, calculation, [&] {
            written = SubstituteEntry::replaceRun(c, target.number, target.run, text);
        });
        if (!written) {
            if (m_hooks.tell)
                m_hooks.tell(QStringLiteral("Nr. ") + target.number +
                             QStringLiteral(" fehlt in der Startliste"));
            return;
        }
    } else {
        // The run waiting may have been entered or let go while the dialog was open.
        if (target.destination == Destination::Waiting &&
            (clock.state() != RunClock::State::Stopped || clock.startStamp() != start))
            return;
        // The time goes only where the dialog said it would.
        if (target.destination == Destination::Waiting) {
            Target again = target;
            selectWaitingRunOwner(again);
        }
        const std::optional<RaceSession::RunOwner> owner =
            target.destination == Destination::Waiting ? m_session.openRunOwner() : std::nullopt;
        if (ResultEntry::target(c, target.page) != target.entry) {
            if (m_hooks.tell)
                m_hooks.tell(QStringLiteral("Die gewählte Zeile hat sich geändert; die "
                                            "Ersatzzeit ist nicht eingetragen."));
            return;
        }
        if (target.destination == Destination::Waiting) {
            // The key's stop time is journaled as not entered; the substitute takes its place.
            clock.reset();
        }
        QList<QStringList> before;
        for (int row = 0; row < heat.rowsWithHeader(); ++row)
            before.append(heat.rowCells(row));
        journal->recorder().enterSubstitute(start, result, calculation, [&] {
            if (owner)
                m_session.enterResultFor(*owner, hundredths * 10);
            else
                m_session.enterResult(hundredths * 10);
        });
        if (const auto mark = SubstituteEntry::enteredRun(before, heat, text)) {
            SubstituteEntry::mark(c, *mark);
            number = mark->number;
        }
    }
    if (m_hooks.nameStep)
        m_hooks.nameStep(number.isEmpty()
                             ? JournalRuns::substituteName()
                             : JournalRuns::substituteName() + QStringLiteral(" Nr. ") + number);
    if (m_hooks.changed)
        m_hooks.changed();
}
