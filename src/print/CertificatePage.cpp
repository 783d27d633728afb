#include "print/CertificatePage.h"

#include "print/CertificateTemplate.h"

#include <QPainter>
#include <QSvgRenderer>

CertificatePage::CertificatePage(const CertificateTemplate& design)
    : m_design(design), m_renderer(std::make_unique<QSvgRenderer>(design.graphics())) {}

CertificatePage::~CertificatePage() = default;

void CertificatePage::paint(QPainter& painter, const QRectF& area,
                            const CertificateFields::Values& values) {
    const QRectF target = placement(m_design.viewBox().size(), area);
    painter.save();
    m_renderer->render(&painter, target);
    painter.restore();
    // The texts in the drawing's coordinates, mapped onto the same target as the drawing.
    const QRectF box = m_design.viewBox();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / box.width(), target.height() / box.height());
    painter.translate(-box.topLeft());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const CertificateText& text : m_design.texts())
        text.paint(painter, values);
    painter.restore();
}

QRectF CertificatePage::placement(const QSizeF& drawing, const QRectF& area) {
    if (drawing.isEmpty() || area.isEmpty())
        return area;
    const QSizeF size = drawing.scaled(area.size(), Qt::KeepAspectRatio);
    return QRectF(area.left() + (area.width() - size.width()) / 2,
                  area.top() + (area.height() - size.height()) / 2, size.width(), size.height());
}
