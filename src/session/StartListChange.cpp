#include "session/StartListChange.h"

StartListChange::StartListChange(TSortGrid& grid, StartListSnapshot before, StartListSnapshot after,
                                 const QString& name, RestoreGuard guard)
    : QUndoCommand(name), m_grid(grid), m_before(std::move(before)), m_after(std::move(after)),
      m_guard(std::move(guard)) {}

void StartListChange::undo() {
    restore(m_before);
}

void StartListChange::redo() {
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    restore(m_after);
}

void StartListChange::restore(const StartListSnapshot& snapshot) {
    m_guard(true);
    snapshot.restoreInto(m_grid);
    m_guard(false);
}
