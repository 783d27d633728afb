#include "ui/startlist/EditCommands.h"

#include "competition/CellEditRules.h"
#include "competition/CompetitionTable.h"
#include "competition/StartListCommands.h"
#include "competition/TimeFormat.h"
#include "competition/widgets/CellEditDelegate.h"
#include "competition/widgets/CompetitionTableView.h"

#include <QAction>
#include <QMenu>

EditCommands::EditCommands(CompetitionTable& heatStartList, CompetitionTableView* view,
                           std::function<void()> afterRowsChanged, QObject* parent)
    : QObject(parent), m_grid(heatStartList), m_view(view),
      m_afterRowsChanged(std::move(afterRowsChanged)) {
    m_grid.setColumnSelectable(&CellEditRules::isSelectable);
    auto* painter = qobject_cast<CompetitionTableDelegate*>(m_view->itemDelegate());
    m_view->setItemDelegate(
        new CellEditDelegate(&m_grid, painter ? painter->timeFormat() : nullptr, m_view));
    if (painter)
        painter->deleteLater();

    m_popup = new QMenu(m_view);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    m_remove = m_popup->addAction(QStringLiteral("Zeile entfernen"));
    m_remove->setObjectName(QStringLiteral("mZeileentfernen"));
    m_append = m_popup->addAction(QStringLiteral("Zeile unten hinzufügen"));
    m_append->setObjectName(QStringLiteral("Zeilezuergnzen1"));
    m_eliminate = m_popup->addAction(QStringLiteral("Eliminieren"));
    m_eliminate->setObjectName(QStringLiteral("mEliminerenm"));
    connect(m_remove, &QAction::triggered, this, &EditCommands::removeRow);
    connect(m_append, &QAction::triggered, this, &EditCommands::appendRow);
    connect(m_eliminate, &QAction::triggered, this, &EditCommands::eliminateRow);
    m_view->setPopupMenu(m_popup);
}

void EditCommands::setEditMode(bool on) {
    m_grid.sortOptions().canSort = on;
    m_grid.setEditable(on);
    m_view->setCellEditing(on);
    if (on)
        m_view->setFocus();
}

void EditCommands::removeRow() {
    if (m_rowGuard && !m_rowGuard(m_grid.selectedRow()))
        return;
    m_grid.deleteRow(m_grid.selectedRow());
    m_afterRowsChanged();
}

void EditCommands::appendRow() {
    m_grid.setRow(StartListCommands::AddRowBelow(m_grid));
    m_afterRowsChanged();
}

void EditCommands::eliminateRow() {
    if (m_rowGuard && !m_rowGuard(m_grid.selectedRow()))
        return;
    StartListCommands::Eliminate(m_grid, m_grid.selectedRow());
}
