#pragma once

#include "competition/RunState.h"

#include <QObject>
#include <array>

class QAction;
class QMenu;
class TFormMain;

// The run states and the rerun in the window: "Nicht angetreten (DNS)", "Nicht im Ziel (DNF)",
// "Disqualifiziert (DSQ)" and "Lauf wiederholen" in the popup menus of the heat start list and
// the final start list, "Lauf wiederholen" (Ctrl+R) and "Nicht im Ziel" (F7) in "Stoppuhr".
class RunStateCommands : public QObject {
    Q_OBJECT
public:
    explicit RunStateCommands(TFormMain& window);

    QAction* stateEntry(RunState::Kind kind) const { return m_states[size_t(kind)]; }
    QMenu* finalPopup() const { return m_finalPopup; }

public Q_SLOTS:
    void enterState(RunState::Kind kind);
    void mLaufWiederholenClick();
    // F7 during a run: the clock has stopped without a time; "DNF" goes where the time would.
    void notFinished();
    // Which entries the selected competitor of the shown page allows, and why not.
    void refresh();

private:
    int activePage() const;
    void tell(const QString& text);

    TFormMain& m_window;
    std::array<QAction*, 3> m_states{};
    QMenu* m_finalPopup = nullptr;
};
