#pragma once

#include "competition/CellPresentation.h"

#include <QTableView>
#include <QTimer>

class QMenu;
class TimeFormat;
class CompetitionTable;

// Shows one competition table: whole-row selection kept in step with the table's own selected
// row, cell colours from the competition rules, column widths from the stage layout, and
// sorting by a click on a column caption when the table allows it; for an editable table,
// cell editing as in a string grid and a popup menu on its data rows.
class CompetitionTableView : public QTableView {
    Q_OBJECT
public:
    static constexpr int RowHeight = 19;

    CompetitionTableView(CompetitionTable* grid, const TimeFormat* timeFormat,
                         QWidget* parent = nullptr);

    CompetitionTable* grid() const { return m_grid; }

    // Fixed widths, hidden columns and the shared rest of the view's client width; a number
    // column wider where its widest text needs it. Follows the table's changes by itself.
    void applyColumnWidths();
    // Per column, what its widest data text needs in this view's font (0 for the shared ones).
    QList<int> neededWidths() const;

    // Where the view reads which of its times are substitutes; none until it is given.
    void setSubstituteSource(const SubstituteSource& source);
    const SubstituteSource& substituteSource() const { return m_substitutes; }

    // On: one cell is selected, and a typed key, F2, Enter or a double click opens its editor
    // (the table must be editable). Off: whole rows are selected and nothing is edited.
    void setCellEditing(bool on);

    // Opened by a right click on a data row or by the keyboard's menu key, for the selected row.
    void setPopupMenu(QMenu* menu) { m_popupMenu = menu; }
    QMenu* popupMenu() const { return m_popupMenu; }

Q_SIGNALS:
    void keyReleased(int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showGridRow();
    QItemSelectionModel::SelectionFlags selectionFlags() const;
    int nearestSelectableColumn(int row, int column) const;
    void showPopupMenu();
    void onCurrentRowChanged(const QModelIndex& current);
    void headerPressed(const QPoint& position, Qt::MouseButton button);
    void headerReleased(const QPoint& position, Qt::MouseButton button);

    CompetitionTable* m_grid;
    int m_pressedColumn = -1;
    bool m_resizedSincePress = false;
    bool m_cellEditing = false;
    QMenu* m_popupMenu = nullptr;
    SubstituteSource m_substitutes;
    QTimer m_widthsDue;
};
