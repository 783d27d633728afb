#pragma once

#include <QTableView>

class TimeFormat;
class TSortGrid;

// Shows one competition table: whole-row selection kept in step with the table's own selected
// row, cell colours from the competition rules, column widths from the stage layout, and
// sorting by a click on a column caption when the table allows it.
class TSortGridView : public QTableView {
    Q_OBJECT
public:
    static constexpr int RowHeight = 19;

    TSortGridView(TSortGrid* grid, const TimeFormat* timeFormat, QWidget* parent = nullptr);

    TSortGrid* grid() const { return m_grid; }

    // Fixed widths, hidden columns and the shared rest of the view's client width.
    void applyColumnWidths();

Q_SIGNALS:
    void keyReleased(int key);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showGridRow();
    void onCurrentRowChanged(const QModelIndex& current);
    void headerPressed(const QPoint& position, Qt::MouseButton button);
    void headerReleased(const QPoint& position, Qt::MouseButton button);

    TSortGrid* m_grid;
    int m_pressedColumn = -1;
    bool m_resizedSincePress = false;
};
