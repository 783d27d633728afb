#pragma once

#include <QStyledItemDelegate>

// Draws a "TOP3 je Klasse" cell: its own background, its text, and a vertical line at its
// right edge, so the table shows column lines but no row lines.
class Top3CellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The table's font, or a smaller one where the text would be cut at the cell's edges.
    static QFont cellFont(const QString& text, const QFont& font, const QRect& cell);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    static int padding(const QRect& cell) { return qMax(2, cell.height() / 10); }
};
