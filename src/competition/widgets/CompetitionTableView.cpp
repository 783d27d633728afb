#include "competition/widgets/CompetitionTableView.h"

#include "competition/ColumnFit.h"
#include "competition/CompetitionTable.h"
#include "competition/HeaderClickRule.h"
#include "competition/StageTables.h"
#include "competition/widgets/CompetitionTableDelegate.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>

CompetitionTableView::CompetitionTableView(CompetitionTable* grid, const TimeFormat* timeFormat,
                                           QWidget* parent)
    : QTableView(parent), m_grid(grid) {
    QFont tableFont(QStringLiteral("Arial"));
    tableFont.setPointSize(11);
    setFont(tableFont);
    setModel(grid);
    setItemDelegate(new CompetitionTableDelegate(grid, timeFormat, this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setSortingEnabled(false);
    // Tab leaves the table as in every other control; walking the cells by Tab belongs to
    // cell editing only.
    setTabKeyNavigation(false);
    // The selected competitor is where the next run is entered; the operator must see it while
    // the focus is on the timing buttons, so the selection looks the same without focus.
    QPalette selection = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        selection.setColor(QPalette::Inactive, role, selection.color(QPalette::Active, role));
    setPalette(selection);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(RowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->viewport()->installEventFilter(this);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this] { m_resizedSincePress = m_pressedColumn >= 0; });

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { onCurrentRowChanged(current); });
    connect(grid, &CompetitionTable::rowSelected, this, [this] { showGridRow(); });
    connect(grid, &QAbstractItemModel::modelReset, this, [this] {
        // New contents start at the top; the selected row is then brought into view.
        scrollToTop();
        showGridRow();
    });
    connect(grid, &CompetitionTable::sorted, this, [this] { showGridRow(); });
    // A longer number widens its column at once, several changes in one go.
    m_widthsDue.setSingleShot(true);
    m_widthsDue.setInterval(0);
    connect(&m_widthsDue, &QTimer::timeout, this, &CompetitionTableView::applyColumnWidths);
    connect(grid, &QAbstractItemModel::modelReset, &m_widthsDue, qOverload<>(&QTimer::start));
    connect(grid, &QAbstractItemModel::dataChanged, &m_widthsDue, qOverload<>(&QTimer::start));
    connect(grid, &QAbstractItemModel::rowsInserted, &m_widthsDue, qOverload<>(&QTimer::start));
    showGridRow();
}

QList<int> CompetitionTableView::neededWidths() const {
    const QList<StageTables::ColumnSpec> specs = StageTables::columns(m_grid->tag());
    const QFontMetrics metrics(font());
    const QList<QStringList> rows = ColumnFit::rowsOf(*m_grid);
    QList<int> needed;
    for (qsizetype c = 0; c < specs.size(); ++c) {
        if (specs[c].fixedWidth <= 0) {
            needed.append(0);
            continue;
        }
        const int text = ColumnFit::widestText(
            rows, static_cast<int>(c),
            [&metrics](const QString& t) { return metrics.horizontalAdvance(t); }, 1);
        // The delegate's margin on both sides and the grid line; and never less than the
        // caption needs in the header's own font and margins, whatever font stands in for
        // the one the table names.
        needed.append(qMax(text + 2 * CompetitionTableDelegate::TextMargin + 1,
                           horizontalHeader()->sectionSizeHint(static_cast<int>(c))));
    }
    return needed;
}

void CompetitionTableView::setSubstituteSource(const SubstituteSource& source) {
    m_substitutes = source;
    viewport()->update();
}

void CompetitionTableView::applyColumnWidths() {
    const QList<int> widths =
        StageTables::columnWidths(m_grid->tag(), viewport()->width(), neededWidths());
    for (int c = 0; c < m_grid->columns(); ++c) {
        const int width = c < widths.size() ? widths[c] : -1;
        setColumnHidden(c, width < 0);
        if (width >= 0)
            setColumnWidth(c, width);
    }
}

void CompetitionTableView::showGridRow() {
    const QModelIndex wanted =
        m_grid->index(m_grid->selectedRow() - 1, qMax(0, currentIndex().column()));
    if (!wanted.isValid())
        return;
    const bool shown = m_cellEditing ? selectionModel()->isSelected(wanted)
                                     : selectionModel()->isRowSelected(wanted.row());
    if (currentIndex().row() != wanted.row() || !shown)
        selectionModel()->setCurrentIndex(wanted, selectionFlags());
    // A hidden page has no real size yet; scrolling it now would leave it scrolled later.
    if (isVisible())
        scrollTo(wanted);
    viewport()->update();
}

QItemSelectionModel::SelectionFlags CompetitionTableView::selectionFlags() const {
    if (m_cellEditing)
        return QItemSelectionModel::ClearAndSelect;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

void CompetitionTableView::setCellEditing(bool on) {
    if (state() == EditingState && !on) {
        if (QWidget* editor = indexWidget(currentIndex())) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
    m_cellEditing = on;
    setTabKeyNavigation(on);
    if (on) {
        setEditTriggers(AnyKeyPressed | EditKeyPressed | DoubleClicked);
        setSelectionBehavior(SelectItems);
    } else {
        setEditTriggers(NoEditTriggers);
        setSelectionBehavior(SelectRows);
    }
    const int row = m_grid->selectedRow() - 1;
    const int column = on ? nearestSelectableColumn(row, qMax(0, currentIndex().column()))
                          : qMax(0, currentIndex().column());
    const QModelIndex current = m_grid->index(row, column);
    if (current.isValid())
        selectionModel()->setCurrentIndex(current, selectionFlags());
    viewport()->update();
}

int CompetitionTableView::nearestSelectableColumn(int row, int column) const {
    // Left first: the time columns come last, so the nearest cell to type into lies before them.
    for (int c = column; c >= 0; --c) {
        if (m_grid->flags(m_grid->index(row, c)).testFlag(Qt::ItemIsEnabled))
            return c;
    }
    for (int c = column + 1; c < m_grid->columns(); ++c) {
        if (m_grid->flags(m_grid->index(row, c)).testFlag(Qt::ItemIsEnabled))
            return c;
    }
    return column;
}

void CompetitionTableView::keyPressEvent(QKeyEvent* event) {
    // Enter opens the editor as in a string grid. While an editor is open, its Enter comes
    // back here after the editor has taken it; that one must not open the editor again.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_cellEditing && state() != EditingState &&
        edit(currentIndex(), EditKeyPressed, event)) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Menu && m_popupMenu) {
        showPopupMenu();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CompetitionTableView::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_popupMenu) {
        QTableView::contextMenuEvent(event);
        return;
    }
    if (event->reason() == QContextMenuEvent::Mouse) {
        // Only a data row has the menu, and its commands act on the row clicked, also where the
        // press itself could not select it (the run times while editing).
        const QModelIndex at = indexAt(event->pos());
        if (!at.isValid())
            return;
        m_grid->setRow(at.row() + 1);
        m_popupMenu->popup(event->globalPos());
    } else {
        showPopupMenu();
    }
    event->accept();
}

void CompetitionTableView::showPopupMenu() {
    const QModelIndex at = currentIndex().isValid() ? currentIndex() : m_grid->index(0, 0);
    m_popupMenu->popup(viewport()->mapToGlobal(visualRect(at).center()));
}

void CompetitionTableView::onCurrentRowChanged(const QModelIndex& current) {
    if (current.isValid())
        m_grid->setRow(current.row() + 1);
    // The selected row paints differently from the rest, so the old and new rows both change.
    viewport()->update();
}

void CompetitionTableView::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

void CompetitionTableView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    // The window's layout sizes the view after the window's own resize; the shared name columns
    // must follow the view, or they stay at the width of a view not yet laid out.
    applyColumnWidths();
}

void CompetitionTableView::keyReleaseEvent(QKeyEvent* event) {
    QTableView::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        Q_EMIT keyReleased(event->key());
}

bool CompetitionTableView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            headerPressed(mouse->position().toPoint(), mouse->button());
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            headerReleased(mouse->position().toPoint(), mouse->button());
        }
    }
    return QTableView::eventFilter(watched, event);
}

void CompetitionTableView::headerPressed(const QPoint& position, Qt::MouseButton) {
    m_pressedColumn = horizontalHeader()->logicalIndexAt(position);
    m_resizedSincePress = false;
}

void CompetitionTableView::headerReleased(const QPoint& position, Qt::MouseButton button) {
    const int pressed = m_pressedColumn;
    const bool resized = m_resizedSincePress;
    m_pressedColumn = -1;
    m_resizedSincePress = false;
    const int column = horizontalHeader()->logicalIndexAt(position);
    if (column < 0 || column != pressed || resized)
        return;
    SortOptions& options = m_grid->sortOptions();
    options.direction = HeaderClickRule::direction(options.direction, column, options.column,
                                                   button == Qt::RightButton);
    // Sorts only while the table allows it; the direction is remembered either way.
    m_grid->sortByColumn(column);
}
