#include "tv/widgets/Top3CellDelegate.h"

#include <QPainter>

void Top3CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const QRect r = option.rect;
    painter->save();
    painter->fillRect(r, index.data(Qt::BackgroundRole).value<QBrush>());
    painter->setPen(index.data(Qt::ForegroundRole).value<QBrush>().color());
    painter->setFont(option.font);
    const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
    const int padding = qMax(2, r.height() / 10);
    painter->drawText(r.adjusted(padding, 0, -padding, 0), static_cast<int>(alignment),
                      index.data(Qt::DisplayRole).toString());
    painter->setPen(Qt::black);
    painter->drawLine(r.topRight(), r.bottomRight());
    painter->restore();
}
