#include "widgets/ColorButton.h"

#include "widgets/CaptionFit.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

ColorButton::ColorButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent), m_color(faceColor()) {
    QFont captionFont(QStringLiteral("Arial"));
    captionFont.setBold(true);
    captionFont.setPixelSize(21);
    setFont(captionFont);
    setAutoDefault(false);
}

QColor ColorButton::faceColor() {
    return QApplication::palette().color(QPalette::Button);
}

QFont ColorButton::captionFont() const {
    // The edges and the focus frame take four pixels on either side.
    int width = this->width() - 8;
    if (!icon().isNull())
        width -= iconSize().width() + 4;
    return CaptionFit::font(font(), text(), width);
}

void ColorButton::setColor(const QColor& color) {
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void ColorButton::mousePressEvent(QMouseEvent* event) {
    // The press runs the command first; when that command disables this button, the button
    // must not be left pressed down with no release ever arriving.
    Q_EMIT mousePressed(event->button());
    if (isEnabled())
        QPushButton::mousePressEvent(event);
    else
        event->accept();
}

void ColorButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange)
        update();
    QPushButton::changeEvent(event);
}

void ColorButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    QRect r = rect();
    const bool pressed = isDown() || isChecked();
    if (hasFocus() || isDefault()) {
        p.setPen(pal.color(QPalette::WindowText));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    if (pressed) {
        p.setPen(pal.color(QPalette::Dark));
        p.setBrush(m_color);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    } else {
        // Raised edge: light at top and left, dark at bottom and right, then an outline in the
        // button's own colour so the face reads as one coloured block.
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(pal.color(QPalette::Shadow));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
        p.setPen(pal.color(QPalette::Dark));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        r.adjust(0, 0, -1, -1);
        p.setPen(m_color);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    p.fillRect(r, m_color);

    QRect content = r;
    if (pressed)
        content.translate(1, 1);
    QRect textArea = content;
    const QFont caption = captionFont();
    if (!icon().isNull()) {
        const QSize size = iconSize();
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        const QPixmap glyph = icon().pixmap(size, devicePixelRatioF(), mode);
        const int textWidth = QFontMetrics(caption).horizontalAdvance(text());
        const int total = size.width() + (text().isEmpty() ? 0 : 4 + textWidth);
        const int x = content.left() + (content.width() - total) / 2;
        p.drawPixmap(x, content.top() + (content.height() - size.height()) / 2, glyph);
        textArea.setLeft(x + size.width() + 4);
        textArea.setWidth(textWidth);
    }
    p.setFont(caption);
    if (isEnabled()) {
        // A dark face (the reset button is black when it can be used) needs a light caption.
        p.setPen(m_color.lightness() < 128 ? QColor(Qt::white) : pal.color(QPalette::ButtonText));
        p.drawText(textArea, Qt::AlignCenter, text());
    } else {
        // The engraved look of disabled captions: a light copy one pixel down and right.
        p.setPen(pal.color(QPalette::Light));
        p.drawText(textArea.translated(1, 1), Qt::AlignCenter, text());
        p.setPen(pal.color(QPalette::Disabled, QPalette::ButtonText));
        p.drawText(textArea, Qt::AlignCenter, text());
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(4, 4, -4, -4);
        focus.backgroundColor = m_color;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}
