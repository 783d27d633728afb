#include "timing/widgets/SegmentDigit.h"

#include <QPainter>

SegmentDigit::SegmentDigit(QWidget* parent) : QWidget(parent) {
    // The digit paints every pixel of itself, so nothing behind it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(16, 32);
}

void SegmentDigit::setValue(int value) {
    if (value == m_value)
        return;
    if (value < 0 || value > 9) {
        m_value = 0;
        Q_EMIT overflow();
    } else {
        m_value = value;
    }
    const quint8 mask = SegmentTable[static_cast<std::size_t>(m_value)];
    if (mask != m_valueBinary) {
        m_valueBinary = mask;
        update();
    }
}

void SegmentDigit::setValueBinary(int mask) {
    const auto bits = static_cast<quint8>(mask);
    if (bits == m_valueBinary)
        return;
    m_valueBinary = bits;
    update();
}

void SegmentDigit::setColorOn(const QColor& color) {
    if (color == m_colorOn)
        return;
    m_colorOn = color;
    update();
}

void SegmentDigit::setColorOff(const QColor& color) {
    if (color == m_colorOff)
        return;
    m_colorOff = color;
    update();
}

void SegmentDigit::setColor(const QColor& color) {
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void SegmentDigit::setBorderStyle(BorderStyle style) {
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    update();
}

void SegmentDigit::setThickness(int thickness) {
    if (thickness > width() / 2 || thickness > height() / 2)
        return;
    m_thickness = thickness;
    update();
}

void SegmentDigit::setSeparation(int separation) {
    m_separation = separation;
    update();
}

QList<QPolygon> SegmentDigit::segmentPolygons(int w, int h, int thickness, int separation) {
    const int W = w - 1;
    const int H = h - 1;
    const int T = thickness;
    const int S = separation;
    const int M = H / 2;
    QList<QPolygon> polygons;
    polygons.reserve(8);
    for (int y0 : {0, M - T, H - 2 * T}) {
        polygons.append(
            QPolygon({QPoint(S + T, y0 + T), QPoint(2 * T + S, y0), QPoint(W - 2 * T - S, y0),
                      QPoint(W - T - S, y0 + T), QPoint(W - 2 * T - S, y0 + 2 * T),
                      QPoint(2 * T + S, y0 + 2 * T)}));
    }
    for (int y0 : {0, M - T}) {
        for (int x0 : {0, W - 2 * T}) {
            polygons.append(
                QPolygon({QPoint(x0, y0 + 2 * T + S), QPoint(x0 + T, y0 + T + S),
                          QPoint(x0 + 2 * T, y0 + 2 * T + S), QPoint(x0 + 2 * T, y0 + M - T - S),
                          QPoint(x0 + T, y0 + M - S), QPoint(x0, y0 + M - T - S)}));
        }
    }
    polygons.append(QPolygon({QPoint(W, H), QPoint(W - 2 * T + S, H), QPoint(W, H - 2 * T + S)}));
    return polygons;
}

void SegmentDigit::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
    painter.setPen(QPen(m_color, 1));
    const QList<QPolygon> polygons = segmentPolygons(width(), height(), m_thickness, m_separation);
    for (int bit = 0; bit < polygons.size(); ++bit) {
        painter.setBrush((m_valueBinary >> bit) & 1 ? m_colorOn : m_colorOff);
        painter.drawPolygon(polygons[bit]);
    }
}
