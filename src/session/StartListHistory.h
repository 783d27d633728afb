#pragma once

#include "session/StartListSnapshot.h"

#include <QObject>
#include <QTimer>
#include <QUndoStack>
#include <functional>

class Competition;
class CompetitionTable;

// The history of the heat start list: every change becomes a step that "Rückgängig" takes back
// and "Wiederholen" makes again. It watches the table itself, so no change can pass it by
// whichever command made it; the changes one command makes (until the event loop next runs)
// form one step. A command may name its step; otherwise the step is named by what changed.
class StartListHistory : public QObject {
    Q_OBJECT
public:
    explicit StartListHistory(CompetitionTable& heatStartList, QObject* parent = nullptr);
    // The competition's heat start list together with its substitute marks.
    explicit StartListHistory(Competition& competition, QObject* parent = nullptr);

    // Asked before an undo or a redo with the data rows it would leave; false keeps the list
    // as it is (a run is open for a competitor the step would take away).
    using Gate = std::function<bool(const QList<QStringList>& rowsAfter)>;
    void setGate(Gate gate) { m_gate = std::move(gate); }

    // Names the step that is being collected; nothing when no change is waiting.
    void nameChangeUnderWay(const QString& name);
    // Makes the changes collected so far one step now instead of at the next turn of the loop.
    void settle();

    bool canUndo();
    bool canRedo();
    QString undoText();
    QString redoText();
    void undo();
    void redo();
    // Forgets every step, for a list that starts over without a way back (tests, recovery).
    void clear();
    int count() const { return m_stack.count(); }

Q_SIGNALS:
    // An undo (true) or a redo (false) of the named step is about to put the list back: what
    // the journal tells before the changes it brings.
    void restoring(const QString& name, bool undone);
    // The list has been put back by an undo (true) or a redo (false) of the named step; the
    // backup, the journal and the derived tables follow from here.
    void restored(const QString& name, bool undone);
    // A step was added, undone or redone: the menu texts change.
    void stepsChanged();

private:
    StartListHistory(CompetitionTable& heatStartList, Competition* competition, QObject* parent);
    void tableChanged();
    bool gateAdmits(const StartListSnapshot& target);
    StartListSnapshot snapshot() const;
    void restore(const StartListSnapshot& snapshot);

    CompetitionTable& m_grid;
    Competition* m_competition = nullptr;
    QUndoStack m_stack;
    StartListSnapshot m_last;
    QTimer m_settle;
    QString m_name;
    Gate m_gate;
    int m_selectionBefore = 1;
    bool m_pending = false;
    bool m_restoring = false;
};
