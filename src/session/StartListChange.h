#pragma once

#include "session/StartListSnapshot.h"

#include <QUndoCommand>
#include <functional>

// One step of the heat start list's history: the list before and after a change. Undo and redo
// put the whole list back, so any kind of change (a time, a state, an edit, a loaded file)
// comes back exactly as it was.
class StartListChange : public QUndoCommand {
public:
    // Puts a snapshot back; the history does it, so it can tell its own changes from new ones.
    using Restore = std::function<void(const StartListSnapshot& snapshot)>;

    StartListChange(StartListSnapshot before, StartListSnapshot after, const QString& name,
                    Restore restore);

    void undo() override;
    // The first redo comes with the push, when the change has already been made.
    void redo() override;

    const StartListSnapshot& before() const { return m_before; }
    const StartListSnapshot& after() const { return m_after; }

private:
    StartListSnapshot m_before;
    StartListSnapshot m_after;
    Restore m_restore;
    bool m_pushed = false;
};
