#include "session/StartListChange.h"

StartListChange::StartListChange(StartListSnapshot before, StartListSnapshot after,
                                 const QString& name, Restore restore)
    : QUndoCommand(name), m_before(std::move(before)), m_after(std::move(after)),
      m_restore(std::move(restore)) {}

void StartListChange::undo() {
    m_restore(m_before);
}

void StartListChange::redo() {
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    m_restore(m_after);
}
