#include "ui/program/ContactLogicBox.h"

#include "ui/program/ContactItemDelegate.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <algorithm>

ContactLogicBox::ContactLogicBox(QWidget* parent) : QComboBox(parent) {
    addItems({QStringLiteral("Ein"), QStringLiteral("Aus")});
    setItemDelegate(new ContactItemDelegate(*this));
}

QPixmap ContactLogicBox::picture(int index, qreal devicePixelRatio) {
    QPixmap pixmap(PictureSize * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPen wire(QColor(0x20, 0x20, 0x20), 1.5);
    p.setPen(wire);
    // Two wires to the terminals, the contact between x = 14 and x = 27.
    constexpr qreal y = 11.5;
    p.drawLine(QPointF(1, y), QPointF(13, y));
    p.drawLine(QPointF(28, y), QPointF(40, y));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(14, y), 1.8, 1.8);
    p.drawEllipse(QPointF(27, y), 1.8, 1.8);
    const bool closes = index == 0;
    // The blade: lying on the far terminal for a closing contact, lifted for an opening one;
    // a small arrow shows which way the barrier moves it.
    QPen blade(closes ? QColor(0x00, 0x80, 0x00) : QColor(0xC0, 0x00, 0x00), 2.0);
    p.setPen(blade);
    const QPointF hinge(14, y);
    const QPointF tip = closes ? QPointF(27, y - 1.5) : QPointF(26, y - 8);
    p.drawLine(hinge, tip);
    QPainterPath arrow;
    if (closes) {
        arrow.moveTo(21, 1.5);
        arrow.lineTo(21, 6.5);
        arrow.moveTo(19, 4.5);
        arrow.lineTo(21, 6.5);
        arrow.lineTo(23, 4.5);
    } else {
        arrow.moveTo(31, 8.5);
        arrow.lineTo(31, 2.5);
        arrow.moveTo(29, 4.5);
        arrow.lineTo(31, 2.5);
        arrow.lineTo(33, 4.5);
    }
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    return pixmap;
}

void ContactLogicBox::drawItem(QPainter& painter, const QRect& rect, const QString& text, int index,
                               bool enabled, bool selected, const QPalette& palette) {
    const QPalette::ColorGroup group = enabled ? QPalette::Active : QPalette::Disabled;
    painter.fillRect(rect, palette.color(group, selected ? QPalette::Highlight : QPalette::Base));
    if (!enabled)
        return;
    painter.setPen(palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    // The designed picture position, moved right only as far as a larger font needs.
    const int pictureLeft =
        qMax(PictureLeft, painter.fontMetrics().horizontalAdvance(QStringLiteral("Aus")) + 3);
    const QRect textRect(rect.left() + 1, rect.top() + 1, pictureLeft - 1, rect.height() - 1);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, text);
    const int top = rect.top() + qMax(0, (rect.height() - PictureSize.height()) / 2);
    painter.drawPixmap(QPoint(rect.left() + pictureLeft, top),
                       picture(index, painter.device()->devicePixelRatioF()));
}

int ContactLogicBox::itemHeight() const {
    return std::max({DesignedItemHeight, PictureSize.height(), fontMetrics().height() + 2});
}

QSize ContactLogicBox::sizeHint() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const int pictureLeft =
        qMax(int(PictureLeft), fontMetrics().horizontalAdvance(QStringLiteral("Aus")) + 3);
    const QSize contents(pictureLeft + PictureSize.width() + 4, itemHeight());
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, this);
}

QSize ContactLogicBox::minimumSizeHint() const {
    return sizeHint();
}

void ContactLogicBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (currentIndex() >= 0)
        drawItem(painter, field, currentText(), currentIndex(), isEnabled(), false, palette());
}
