#pragma once

#include "competition/RunState.h"

#include <QObject>
#include <array>
#include <functional>

class QAction;
class QMenu;
class RaceSession;
class StagePages;
class CompetitionTableView;

// The run states and the rerun in the window: "Nicht angetreten (DNS)", "Nicht im Ziel (DNF)",
// "Disqualifiziert (DSQ)" and "Lauf wiederholen" in the popup menus of the heat start list and
// the final start list, "Lauf wiederholen" (Ctrl+R) and "Nicht im Ziel" (F7) in "Stoppuhr".
class RunStateCommands : public QObject {
    Q_OBJECT
public:
    struct Inputs {
        // The competition, the clock and the rule for rows of an open run.
        RaceSession& session;
        // "Stoppuhr", checked as it opens, and its entries "Lauf wiederholen" and "Nicht im
        // Ziel".
        QMenu& clockMenu;
        QAction& rerun;
        QAction& notFinished;
        // The popup menu of the heat start list; the final start list gets one of its own.
        QMenu& heatPopup;
        CompetitionTableView& finalStartList;
        // The stage pages: the shown one is the one the entries act on.
        StagePages& pages;
        // Asks before a run is repeated; true only for "Ja".
        std::function<bool(const QString& question)> ask;
        // A notice for the status bar, shown for durationMs.
        std::function<void(const QString& text, int durationMs)> tell;
    };

    RunStateCommands(Inputs inputs, QObject* parent);

    QAction* stateEntry(RunState::Kind kind) const { return m_states[size_t(kind)]; }
    QMenu* finalPopup() const { return m_finalPopup; }

public Q_SLOTS:
    void enterState(RunState::Kind kind);
    void rerun();
    // Which entries the selected competitor of the shown page allows, and why not.
    void refresh();

private:
    int activePage() const;
    void tell(const QString& text);

    Inputs m_in;
    std::array<QAction*, 3> m_states{};
    QMenu* m_finalPopup = nullptr;
};
