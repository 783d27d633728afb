#pragma once

#include "session/StartListSnapshot.h"

#include <QUndoCommand>
#include <functional>

class TSortGrid;

// One step of the heat start list's history: the list before and after a change. Undo and redo
// put the whole list back, so any kind of change (a time, a state, an edit, a loaded file)
// comes back exactly as it was.
class StartListChange : public QUndoCommand {
public:
    // Called around every restore, so the history can tell its own changes from new ones.
    using RestoreGuard = std::function<void(bool restoring)>;

    StartListChange(TSortGrid& grid, StartListSnapshot before, StartListSnapshot after,
                    const QString& name, RestoreGuard guard);

    void undo() override;
    // The first redo comes with the push, when the change has already been made.
    void redo() override;

    const StartListSnapshot& before() const { return m_before; }
    const StartListSnapshot& after() const { return m_after; }

private:
    void restore(const StartListSnapshot& snapshot);

    TSortGrid& m_grid;
    StartListSnapshot m_before;
    StartListSnapshot m_after;
    RestoreGuard m_guard;
    bool m_pushed = false;
};
