#include "competition/widgets/CompetitionTableDelegate.h"

#include "competition/CellPresentation.h"
#include "competition/CompetitionTable.h"
#include "competition/widgets/CompetitionTableView.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <QWidget>

CompetitionTableDelegate::CompetitionTableDelegate(const CompetitionTable* grid,
                                                   const TimeFormat* timeFormat, QObject* parent)
    : QStyledItemDelegate(parent), m_grid(grid), m_timeFormat(timeFormat) {}

void CompetitionTableDelegate::initStyleOption(QStyleOptionViewItem* option,
                                               const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    // Cells the cursor passes over while editing still look like the rest of their table.
    if (option->widget && option->widget->isEnabled())
        option->state |= QStyle::State_Enabled;
    const int row = index.row() + 1;
    const bool selected = row == m_grid->selectedRow();
    const CellFormat format = CellPresentation::format(
        *m_grid, index.column(), row, selected, *m_timeFormat, isSubstitute(option->widget, index));
    option->displayAlignment = format.alignment | Qt::AlignVCenter;
    if (format.background)
        option->backgroundBrush = QColor::fromRgb(*format.background);
    if (format.fontColour) {
        const QColor colour = QColor::fromRgb(*format.fontColour);
        option->palette.setColor(QPalette::Text, colour);
        option->palette.setColor(QPalette::HighlightedText, colour);
    }
}

bool CompetitionTableDelegate::isSubstitute(const QWidget* view, const QModelIndex& index) const {
    const auto* gridView = qobject_cast<const CompetitionTableView*>(view);
    return gridView && CellPresentation::isSubstitute(*m_grid, index.column(), index.row() + 1,
                                                      gridView->substituteSource());
}

bool CompetitionTableDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                         const QStyleOptionViewItem& option,
                                         const QModelIndex& index) {
    if (event && event->type() == QEvent::ToolTip && isSubstitute(view, index)) {
        QToolTip::showText(event->globalPos(), CellPresentation::substituteHint(), view->viewport(),
                           view->visualRect(index));
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

void CompetitionTableDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    const QWidget* widget = cell.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    const bool selected = cell.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        cell.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setFont(cell.font);
    painter->setPen(
        cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(cell.rect);
    painter->drawText(cell.rect.adjusted(TextMargin, 0, -TextMargin, 0), cell.displayAlignment,
                      text);
    painter->restore();
}
