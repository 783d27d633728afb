#pragma once

#include <QObject>
#include <functional>

class QAction;
class QMenu;
class CompetitionTable;
class CompetitionTableView;

// The heat start list's edit mode and its popup menu: cell editing by the column rules while
// the check box is on, removing and appending rows and eliminating a competitor.
class EditCommands : public QObject {
    Q_OBJECT
public:
    // afterRowsChanged runs after a row was removed or appended (the output commands depend on
    // whether the list has data).
    EditCommands(CompetitionTable& heatStartList, CompetitionTableView* view,
                 std::function<void()> afterRowsChanged, QObject* parent = nullptr);

    // Asked before a row is removed or eliminated; false keeps it (the open run's competitor
    // keeps his row and his free runs). Unset, every row may go.
    void setRowGuard(std::function<bool(int row)> admits) { m_rowGuard = std::move(admits); }

    // Switches editing and the list's sorting together; on also gives the list the focus.
    void setEditMode(bool on);

    QMenu* popupMenu() const { return m_popup; }
    QAction* removeRowAction() const { return m_remove; }
    QAction* appendRowAction() const { return m_append; }
    QAction* eliminateRowAction() const { return m_eliminate; }

public Q_SLOTS:
    void removeRow();
    void appendRow();
    void eliminateRow();

private:
    CompetitionTable& m_grid;
    CompetitionTableView* m_view;
    std::function<void()> m_afterRowsChanged;
    std::function<bool(int row)> m_rowGuard;
    QMenu* m_popup = nullptr;
    QAction* m_remove = nullptr;
    QAction* m_append = nullptr;
    QAction* m_eliminate = nullptr;
};
