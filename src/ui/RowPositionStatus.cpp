#include "ui/RowPositionStatus.h"

#include "competition/Competition.h"
#include "ui/MainStatusBar.h"
#include "ui/TPageControl.h"

RowPositionStatus::RowPositionStatus(Competition& competition, TPageControl& pages,
                                     MainStatusBar& statusBar, QObject* parent)
    : QObject(parent), m_competition(competition), m_pages(pages), m_statusBar(statusBar) {
    for (int page = 0; page < 4; ++page) {
        TSortGrid* grid = &m_competition.stageTable(page);
        const auto changed = [this, page] {
            tableChanged(page);
        };
        connect(grid, &TSortGrid::rowSelected, this, changed);
        connect(grid, &QAbstractItemModel::modelReset, this, changed);
        connect(grid, &QAbstractItemModel::dataChanged, this, changed);
        connect(grid, &TSortGrid::sorted, this, changed);
    }
    connect(&m_pages, &QTabWidget::currentChanged, this, &RowPositionStatus::refresh);
}

QString RowPositionStatus::text(const TSortGrid& grid) {
    if (grid.RowCount() == 2 && grid.IsRowEmpty(1))
        return QStringLiteral("0:0");
    return QStringLiteral("%1:%2").arg(grid.Row()).arg(grid.RowCount() - 1);
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
