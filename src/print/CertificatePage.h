#pragma once

#include "competition/CertificateFields.h"

#include <QRectF>
#include <memory>

class CertificateTemplate;
class QPainter;
class QSvgRenderer;

// Paints certificates of one design: its drawing through the SVG renderer, read once, and
// the texts filled for each recipient on top. Made and used on one thread.
class CertificatePage {
public:
    explicit CertificatePage(const CertificateTemplate& design);
    ~CertificatePage();
    CertificatePage(const CertificatePage&) = delete;
    CertificatePage& operator=(const CertificatePage&) = delete;

    // The certificate as large as the area allows without distorting it, centred.
    void paint(QPainter& painter, const QRectF& area, const CertificateFields::Values& values);

    // Where a drawing of that shape lands in the area.
    static QRectF placement(const QSizeF& drawing, const QRectF& area);

private:
    const CertificateTemplate& m_design;
    std::unique_ptr<QSvgRenderer> m_renderer;
};
