#include "tv/widgets/Top3CellDelegate.h"

#include "tv/TextFit.h"
#include "tv/widgets/TvWindow.h"

#include <QPainter>

QFont Top3CellDelegate::cellFont(const QString& text, const QFont& font, const QRect& cell) {
    if (font.pixelSize() <= 0)
        return font;
    const QSize room(cell.width() - 2 * padding(cell), cell.height());
    QFont fitted = font;
    fitted.setPixelSize(TextFit::size(text, font.pixelSize(), room, TvWindow::measure()));
    return fitted;
}

void Top3CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const QRect r = option.rect;
    const QString text = index.data(Qt::DisplayRole).toString();
    painter->save();
    painter->fillRect(r, index.data(Qt::BackgroundRole).value<QBrush>());
    painter->setPen(index.data(Qt::ForegroundRole).value<QBrush>().color());
    painter->setFont(cellFont(text, option.font, r));
    const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
    const int inset = padding(r);
    painter->drawText(r.adjusted(inset, 0, -inset, 0), static_cast<int>(alignment), text);
    painter->setPen(Qt::black);
    painter->drawLine(r.topRight(), r.bottomRight());
    painter->restore();
}
