#include "session/StartListHistory.h"

#include "competition/Competition.h"
#include "competition/CompetitionTable.h"
#include "session/StartListChange.h"
#include "session/StartListChangeName.h"

StartListHistory::StartListHistory(CompetitionTable& heatStartList, QObject* parent)
    : StartListHistory(heatStartList, nullptr, parent) {}

StartListHistory::StartListHistory(Competition& competition, QObject* parent)
    : StartListHistory(competition.heatStartList(), &competition, parent) {}

StartListHistory::StartListHistory(CompetitionTable& heatStartList, Competition* competition,
                                   QObject* parent)
    : QObject(parent), m_grid(heatStartList), m_competition(competition), m_last(snapshot()) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(0);
    connect(&m_settle, &QTimer::timeout, this, &StartListHistory::settle);
    connect(&m_grid, &QAbstractItemModel::dataChanged, this, &StartListHistory::tableChanged);
    connect(&m_grid, &QAbstractItemModel::headerDataChanged, this, &StartListHistory::tableChanged);
    connect(&m_grid, &QAbstractItemModel::modelReset, this, &StartListHistory::tableChanged);
    connect(&m_grid, &QAbstractItemModel::rowsInserted, this, &StartListHistory::tableChanged);
    connect(&m_grid, &QAbstractItemModel::rowsRemoved, this, &StartListHistory::tableChanged);
    connect(&m_grid, &QAbstractItemModel::layoutChanged, this, &StartListHistory::tableChanged);
    connect(&m_stack, &QUndoStack::indexChanged, this, &StartListHistory::stepsChanged);
    // A substitute that replaced an equal time changes no cell, yet it is a step of its own.
    if (m_competition)
        connect(m_competition, &Competition::substituteMarksChanged, this,
                &StartListHistory::tableChanged);
}

StartListSnapshot StartListHistory::snapshot() const {
    StartListSnapshot now = StartListSnapshot::of(m_grid);
    if (m_competition)
        now.marks = m_competition->substituteMarks();
    return now;
}

void StartListHistory::restore(const StartListSnapshot& snapshot) {
    m_restoring = true;
    // The marks first: whoever follows the table's reset finds the marks that belong to it.
    if (m_competition)
        m_competition->substituteMarks() = snapshot.marks;
    snapshot.restoreInto(m_grid);
    if (m_competition)
        Q_EMIT m_competition->substituteMarksChanged();
    m_restoring = false;
}

void StartListHistory::tableChanged() {
    if (m_restoring)
        return;
    if (!m_pending) {
        m_pending = true;
        // The competitor the command acted on, before it moved the selection on.
        m_selectionBefore = m_grid.selectedRow();
        m_settle.start();
    }
}

void StartListHistory::nameChangeUnderWay(const QString& name) {
    if (m_pending)
        m_name = name;
}

void StartListHistory::settle() {
    m_settle.stop();
    if (!m_pending)
        return;
    m_pending = false;
    StartListSnapshot now = snapshot();
    const QString name = m_name;
    m_name.clear();
    if (now.sameContent(m_last)) {
        m_last.selectedRow = now.selectedRow;
        return;
    }
    StartListSnapshot before = m_last;
    before.selectedRow = m_selectionBefore;
    const QString shown = name.isEmpty() ? StartListChangeName::describe(before, now) : name;
    m_last = now;
    m_stack.push(new StartListChange(std::move(before), std::move(now), shown,
                                     [this](const StartListSnapshot& s) { restore(s); }));
}

bool StartListHistory::canUndo() {
    settle();
    return m_stack.canUndo();
}

bool StartListHistory::canRedo() {
    settle();
    return m_stack.canRedo();
}

QString StartListHistory::undoText() {
    settle();
    return m_stack.undoText();
}

QString StartListHistory::redoText() {
    settle();
    return m_stack.redoText();
}

void StartListHistory::undo() {
    settle();
    if (!m_stack.canUndo())
        return;
    const auto* step = static_cast<const StartListChange*>(m_stack.command(m_stack.index() - 1));
    if (!gateAdmits(step->before()))
        return;
    const QString name = m_stack.undoText();
    Q_EMIT restoring(name, true);
    m_stack.undo();
    m_last = snapshot();
    Q_EMIT restored(name, true);
}

void StartListHistory::redo() {
    settle();
    if (!m_stack.canRedo())
        return;
    const auto* step = static_cast<const StartListChange*>(m_stack.command(m_stack.index()));
    if (!gateAdmits(step->after()))
        return;
    const QString name = m_stack.redoText();
    Q_EMIT restoring(name, false);
    m_stack.redo();
    m_last = snapshot();
    Q_EMIT restored(name, false);
}

bool StartListHistory::gateAdmits(const StartListSnapshot& target) {
    if (!m_gate)
        return true;
    const int index = m_stack.index();
    const int count = m_stack.count();
    const bool admitted = m_gate(target.rows.mid(1));
    // The gate may have asked, and the list changed while the question was open: the step
    // asked about is then no longer the one at hand.
    settle();
    return admitted && m_stack.index() == index && m_stack.count() == count;
}

void StartListHistory::clear() {
    settle();
    m_stack.clear();
    m_last = snapshot();
}
