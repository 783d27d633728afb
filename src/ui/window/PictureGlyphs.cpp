#include "ui/window/PictureGlyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace {

void drawPage(QPainter& p, const QRectF& r) {
    QPainterPath page;
    const qreal fold = r.width() * 0.3;
    page.moveTo(r.topLeft());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.bottomRight());
    page.lineTo(r.bottomLeft());
    page.closeSubpath();
    p.setPen(QPen(QColor(0x404040), 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void drawLetterBadge(QPainter& p, const QRectF& r, const QColor& colour, const QString& letter) {
    drawPage(p, r.adjusted(r.width() * 0.3, 0, 0, 0));
    const QRectF badge(r.left(), r.top() + r.height() * 0.25, r.width() * 0.6, r.height() * 0.6);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(badge, 2, 2);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(qMax(6, static_cast<int>(badge.height() * 0.8)));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(badge, Qt::AlignCenter, letter);
}

void drawBarrier(QPainter& p, const QRectF& r, bool free) {
    p.setPen(Qt::NoPen);
    p.setBrush(free ? QColor(0x00A000) : QColor(0xE00000));
    p.drawEllipse(r);
    p.setBrush(Qt::white);
    const qreal w = r.width() * 0.6;
    const qreal t = r.width() * 0.18;
    if (free)
        p.drawRect(QRectF(r.center().x() - t / 2, r.center().y() - w / 2, t, w));
    else
        p.drawRect(QRectF(r.center().x() - w / 2, r.center().y() - t / 2, w, t));
}

void drawGlyph(QPainter& p, PictureGlyphs::Glyph glyph, const QRectF& r) {
    using Glyph = PictureGlyphs::Glyph;
    switch (glyph) {
    case Glyph::Open: {
        p.setPen(QPen(QColor(0x806000), 1));
        p.setBrush(QColor(0xE8C050));
        p.drawRect(QRectF(r.left(), r.top() + r.height() * 0.2, r.width() * 0.8, r.height() * 0.7));
        QPolygonF flap;
        flap << QPointF(r.left() + r.width() * 0.15, r.top() + r.height() * 0.4)
             << QPointF(r.right(), r.top() + r.height() * 0.4)
             << QPointF(r.right() - r.width() * 0.15, r.bottom() - r.height() * 0.1)
             << QPointF(r.left(), r.bottom() - r.height() * 0.1);
        p.setBrush(QColor(0xF8D870));
        p.drawPolygon(flap);
        break;
    }
    case Glyph::New:
        drawPage(p, r.adjusted(r.width() * 0.15, 0, -r.width() * 0.15, 0));
        break;
    case Glyph::Save: {
        p.setPen(QPen(QColor(0x202040), 1));
        p.setBrush(QColor(0x3050A0));
        p.drawRect(r.adjusted(1, 1, -1, -1));
        p.setBrush(Qt::white);
        p.drawRect(
            QRectF(r.left() + r.width() * 0.2, r.top() + 1, r.width() * 0.6, r.height() * 0.4));
        p.setBrush(QColor(0xC0C0C0));
        p.drawRect(QRectF(r.left() + r.width() * 0.3, r.bottom() - r.height() * 0.35,
                          r.width() * 0.4, r.height() * 0.33));
        break;
    }
    case Glyph::Print: {
        p.setPen(QPen(QColor(0x404040), 1));
        drawPage(p,
                 QRectF(r.left() + r.width() * 0.25, r.top(), r.width() * 0.5, r.height() * 0.5));
        p.setPen(QPen(QColor(0x404040), 1));
        p.setBrush(QColor(0xA0A0A0));
        p.drawRoundedRect(QRectF(r.left(), r.top() + r.height() * 0.4, r.width(), r.height() * 0.4),
                          2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(r.left() + r.width() * 0.2, r.top() + r.height() * 0.7, r.width() * 0.6,
                          r.height() * 0.3));
        break;
    }
    case Glyph::Word:
        drawLetterBadge(p, r, QColor(0x2B579A), QStringLiteral("W"));
        break;
    case Glyph::Excel:
        drawLetterBadge(p, r, QColor(0x217346), QStringLiteral("X"));
        break;
    case Glyph::Html: {
        p.setPen(QPen(QColor(0x1060C0), 1.5));
        p.setBrush(QColor(0xD0E8FF));
        p.drawEllipse(r.adjusted(1, 1, -1, -1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(r.adjusted(r.width() * 0.3, 1, -r.width() * 0.3, -1));
        p.drawLine(QPointF(r.left() + 1, r.center().y()), QPointF(r.right() - 1, r.center().y()));
        p.drawLine(QPointF(r.center().x(), r.top() + 1), QPointF(r.center().x(), r.bottom() - 1));
        break;
    }
    case Glyph::Tv: {
        p.setPen(QPen(QColor(0x303030), 1));
        p.setBrush(QColor(0x303030));
        p.drawRoundedRect(QRectF(r.left(), r.top() + r.height() * 0.1, r.width(), r.height() * 0.7),
                          2, 2);
        p.setBrush(QColor(0x60A0FF));
        p.drawRect(QRectF(r.left() + 2, r.top() + r.height() * 0.1 + 2, r.width() - 4,
                          r.height() * 0.7 - 4));
        p.setBrush(QColor(0x303030));
        p.drawRect(QRectF(r.center().x() - r.width() * 0.2, r.bottom() - r.height() * 0.12,
                          r.width() * 0.4, r.height() * 0.1));
        break;
    }
    case Glyph::BarrierBlocked:
        drawBarrier(p, r, false);
        break;
    case Glyph::BarrierFree:
        drawBarrier(p, r, true);
        break;
    }
}

} // namespace

QPixmap PictureGlyphs::pixmap(Glyph glyph, int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    drawGlyph(p, glyph, QRectF(1, 1, size - 2, size - 2));
    return picture;
}

QIcon PictureGlyphs::icon(Glyph glyph, int size) {
    return QIcon(pixmap(glyph, size));
}
