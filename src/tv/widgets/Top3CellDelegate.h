#pragma once

#include <QStyledItemDelegate>

// Draws a "TOP3 je Klasse" cell: its own background, its text, and a vertical line at its
// right edge, so the table shows column lines but no row lines.
class Top3CellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
