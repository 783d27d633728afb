#pragma once

#include "competition/CertificateFields.h"

#include <QByteArray>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <functional>
#include <optional>

class CertificateTemplate;
class QPrinter;

// Certificates one to a page, as a PDF document or on a printer. Each finished page is
// reported, and the answer decides whether the next one follows.
class CertificateDocument {
public:
    // Pages done so far and in all; false stops the document.
    using Progress = std::function<bool(int done, int total)>;

    // The PDF page: the drawing's own size without margins, so a design that runs to the
    // paper's edge keeps it.
    static QPageLayout pdfLayout(const CertificateTemplate& design);

    // Every certificate as the bytes of one PDF file; nothing when stopped.
    static std::optional<QByteArray> pdf(const CertificateTemplate& design,
                                         const QList<CertificateFields::Values>& certificates,
                                         const QString& title, const Progress& progress = {});

    enum class Printed { All, Stopped, Refused };
    // Every certificate on the printer's printable area. Stopped aborts the print job, so
    // nothing half done reaches the paper; Refused when the printer would not begin.
    static Printed print(QPrinter& printer, const CertificateTemplate& design,
                         const QList<CertificateFields::Values>& certificates,
                         const Progress& progress = {});
};
