#pragma once

#include "competition/CertificateFields.h"

#include <QRectF>
#include <QSvgRenderer>

class CertificateTemplate;
class QPainter;

// Paints certificates of one design: its drawing through the SVG renderer, read once, and
// the texts filled for each recipient on top. Made and used on one thread.
class CertificatePage {
public:
    explicit CertificatePage(const CertificateTemplate& design);

    // The certificate as large as the area allows without distorting it, centred.
    void paint(QPainter& painter, const QRectF& area, const CertificateFields::Values& values);

    // Where a drawing of that shape lands in the area.
    static QRectF placement(const QSizeF& drawing, const QRectF& area);

private:
    const CertificateTemplate& m_design;
    QSvgRenderer m_renderer;
};
