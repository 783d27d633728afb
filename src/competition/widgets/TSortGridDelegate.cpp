#include "competition/widgets/TSortGridDelegate.h"

#include "competition/CellPresentation.h"
#include "competition/TSortGrid.h"

TSortGridDelegate::TSortGridDelegate(const TSortGrid* grid, const TimeFormat* timeFormat,
                                     QObject* parent)
    : QStyledItemDelegate(parent), m_grid(grid), m_timeFormat(timeFormat) {}

void TSortGridDelegate::initStyleOption(QStyleOptionViewItem* option,
                                        const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const int row = index.row() + 1;
    const bool selected = row == m_grid->Row();
    const CellFormat format =
        CellPresentation::format(*m_grid, index.column(), row, selected, *m_timeFormat);
    option->displayAlignment = format.alignment | Qt::AlignVCenter;
    if (format.background)
        option->backgroundBrush = QColor::fromRgb(*format.background);
    if (format.fontColour) {
        const QColor colour = QColor::fromRgb(*format.fontColour);
        option->palette.setColor(QPalette::Text, colour);
        option->palette.setColor(QPalette::HighlightedText, colour);
    }
}
