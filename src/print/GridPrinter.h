#pragma once

#include "output/BackgroundExport.h"
#include "print/PageGeometry.h"
#include "print/PrintableTable.h"

#include <QByteArray>
#include <QPageLayout>
#include <QString>

class QImage;
class QPrinter;
class PrinterSetup;
class CompetitionTable;
class CompetitionTableView;

// The print operations of one shown table: count its pages, draw one page of the preview, and
// prepare a printout or a PDF document of it, all laid out for the chosen printer's page. The
// printout and the PDF work on a copy of the table, so they can run on another thread.
class GridPrinter {
public:
    GridPrinter(const CompetitionTableView& view, PrinterSetup& printers);

    CompetitionTable& grid() const;
    const CompetitionTableView& view() const { return m_view; }

    static QString noPrinterMessage() { return QStringLiteral("No Printer is installed"); }

    // The pages rows 1..rowsWithHeader-1 need.
    int pageCount() const;
    // Page PreviewPage, in screen pixels, into the image (which must be at least previewSize).
    void drawPreview(QImage& image) const;

    // A printout of rows FromRow..toRow, as the table is now.
    struct PrintJob {
        PrintableTable table;
        PageGeometry geometry;
        int firstRow = 1;
        int lastRow = 1;
    };
    PrintJob printJob() const;
    // Draws every page on a printer that is set up; false when the printer refused the job.
    static bool print(QPrinter& printer, const PrintJob& job,
                      BackgroundExport::Progress* progress = nullptr);

    // Every page of rows 1..rowsWithHeader-1 as a PDF document, on the given page (unset: the page
    // the preview shows).
    struct PdfJob {
        PrintableTable table;
        QPageLayout pageLayout;
        int resolution = 1200;
        int screenDpi = 96;
        QString title;
    };
    PdfJob pdfJob(const std::optional<QPageLayout>& pageLayout = std::nullopt) const;
    static QByteArray pdfDocument(const PdfJob& job,
                                  BackgroundExport::Progress* progress = nullptr);
    QByteArray pdfDocument() const { return pdfDocument(pdfJob()); }

    // The preview page in screen pixels.
    QSize previewSize() const;
    // The table as it is shown now (column widths, hidden columns, font, alignment), each
    // column but the shared name columns widened where its widest text would be cut on paper.
    PrintableTable printable() const;

    // Screen pixels a column needs so that a text of textWidth device pixels, aligned so, is
    // not cut on a page of this geometry.
    static int neededWidth(int textWidth, Qt::Alignment alignment, const PageGeometry& page);
    // A name column gives up room for the numbers down to this width.
    static constexpr int MinimumNameWidth = 40;

private:
    const CompetitionTableView& m_view;
    PrinterSetup& m_printers;
};
