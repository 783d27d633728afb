#include "ui/window/WordMark.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int PictureSize = 22;

void drawShadowed(QPainter& p, const QPoint& at, const QString& text, const QColor& colour) {
    p.setPen(Qt::black);
    p.drawText(at + QPoint(1, 2), text);
    p.setPen(colour);
    p.drawText(at, text);
}

void drawStopwatch(QPainter& p, const QRect& box) {
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF dial = QRectF(box).adjusted(2, 5, -2, -1);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(dial);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(dial.center().x() - 2, box.top() + 1, 4, 3));
    p.setPen(QPen(QColor(0xFF0000), 1.5));
    p.drawLine(dial.center(), QPointF(dial.center().x() + 4, dial.top() + 4));
}

} // namespace

WordMark::WordMark(QWidget* parent) : QWidget(parent), m_font(QStringLiteral("Arial")) {
    m_font.setBold(true);
    m_font.setPixelSize(27);
    setCursor(Qt::PointingHandCursor);
    setToolTip(makerAddress());
    resize(sizeHint());
}

QSize WordMark::sizeHint() const {
    const QFontMetrics metrics(m_font);
    const int width = metrics.horizontalAdvance(firstPart() + secondPart()) + 1 + 4 + PictureSize;
    return QSize(width, metrics.height() + 2);
}

void WordMark::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(m_font);
    const QFontMetrics metrics(m_font);
    const QPoint base(0, metrics.ascent());
    drawShadowed(p, base, firstPart(), QColor(0xFF0000));
    const int secondX = metrics.horizontalAdvance(firstPart());
    drawShadowed(p, base + QPoint(secondX, 0), secondPart(), QColor(0x00FF00));
    const int pictureX = secondX + metrics.horizontalAdvance(secondPart()) + 5;
    drawStopwatch(p, QRect(pictureX, (height() - PictureSize) / 2, PictureSize, PictureSize));
}

void WordMark::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}
