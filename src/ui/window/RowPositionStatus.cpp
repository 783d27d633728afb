#include "ui/window/RowPositionStatus.h"

#include "competition/Competition.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/StagePages.h"

RowPositionStatus::RowPositionStatus(Competition& competition, StagePages& pages,
                                     MainStatusBar& statusBar, QObject* parent)
    : QObject(parent), m_competition(competition), m_pages(pages), m_statusBar(statusBar) {
    for (int page = 0; page < 4; ++page) {
        CompetitionTable* grid = &m_competition.stageTable(page);
        const auto changed = [this, page] {
            tableChanged(page);
        };
        connect(grid, &CompetitionTable::rowSelected, this, changed);
        connect(grid, &QAbstractItemModel::modelReset, this, changed);
        connect(grid, &QAbstractItemModel::dataChanged, this, changed);
        connect(grid, &CompetitionTable::sorted, this, changed);
    }
    connect(&m_pages, &QTabWidget::currentChanged, this, &RowPositionStatus::refresh);
}

QString RowPositionStatus::text(const CompetitionTable& grid) {
    if (grid.rowsWithHeader() == 2 && grid.isRowEmpty(1))
        return QStringLiteral("0:0");
    return QStringLiteral("%1:%2").arg(grid.selectedRow()).arg(grid.rowsWithHeader() - 1);
}

void RowPositionStatus::refresh() {
    const int page = qMax(0, m_pages.currentIndex());
    m_statusBar.setPanelText(MainStatusBar::RowPosition, text(m_competition.stageTable(page)));
}

void RowPositionStatus::tableChanged(int page) {
    // A table that is not shown has nothing to say here; the page change brings its turn.
    if (page == m_pages.currentIndex())
        refresh();
}
