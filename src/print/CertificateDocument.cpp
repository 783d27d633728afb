#include "print/CertificateDocument.h"

#include "print/CertificatePage.h"
#include "print/CertificateTemplate.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace {

// Draws the pages one after the other; false when the progress answer stopped it.
bool drawPages(QPainter& painter, const QRectF& area, const std::function<bool()>& newPage,
               const CertificateTemplate& design,
               const QList<CertificateFields::Values>& certificates,
               const CertificateDocument::Progress& progress) {
    const int total = static_cast<int>(certificates.size());
    CertificatePage page(design);
    for (int i = 0; i < total; ++i) {
        if (i > 0 && !newPage())
            return false;
        painter.save();
        page.paint(painter, area, certificates.at(i));
        painter.restore();
        if (progress && !progress(i + 1, total))
            return false;
    }
    return true;
}

} // namespace

QPageLayout CertificateDocument::pdfLayout(const CertificateTemplate& design) {
    const QSizeF size = design.pageSizeMm();
    const QPageLayout::Orientation orientation =
        size.width() > size.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
    // The page size is given upright; the orientation turns it.
    const QSizeF upright = orientation == QPageLayout::Landscape ? size.transposed() : size;
    return QPageLayout(QPageSize(upright, QPageSize::Millimeter), orientation,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

std::optional<QByteArray>
CertificateDocument::pdf(const CertificateTemplate& design,
                         const QList<CertificateFields::Values>& certificates, const QString& title,
                         const Progress& progress) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool complete = false;
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(pdfLayout(design));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Velmora"));
        QPainter painter(&writer);
        const QRectF area(0, 0, writer.width(), writer.height());
        complete = drawPages(
            painter, area, [&writer] { return writer.newPage(); }, design, certificates, progress);
    }
    if (!complete)
        return std::nullopt;
    return bytes;
}

CertificateDocument::Printed
CertificateDocument::print(QPrinter& printer, const CertificateTemplate& design,
                           const QList<CertificateFields::Values>& certificates,
                           const Progress& progress) {
    QPainter painter;
    if (!painter.begin(&printer))
        return Printed::Refused;
    const QRectF area(0, 0, printer.width(), printer.height());
    const bool complete = drawPages(
        painter, area, [&printer] { return printer.newPage(); }, design, certificates, progress);
    if (!complete) {
        printer.abort();
        return Printed::Stopped;
    }
    return painter.end() ? Printed::All : Printed::Refused;
}
