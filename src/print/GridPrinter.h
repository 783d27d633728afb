#pragma once

#include "print/PrintableTable.h"

#include <QByteArray>
#include <QString>

class QImage;
class QWidget;
class PrinterSetup;
class TSortGrid;
class TSortGridView;

// The print operations of one shown table: count its pages, draw one page of the preview,
// print it, or render it as a PDF document, all laid out for the chosen printer's page.
class GridPrinter {
public:
    // messageParent and messageTitle frame the message shown when there is no printer.
    GridPrinter(const TSortGridView& view, PrinterSetup& printers, QWidget* messageParent = nullptr,
                QString messageTitle = QString());

    TSortGrid& grid() const;
    const TSortGridView& view() const { return m_view; }

    static QString noPrinterMessage() { return QStringLiteral("No Printer is installed"); }

    // The pages rows 1..RowCount-1 need.
    int PageCount() const;
    // Page PreviewPage, in screen pixels, into the image (which must be at least previewSize).
    void DrawPreview(QImage& image) const;
    // Rows FromRow..ToRow on the printer; without one the operator is told and nothing is
    // printed. False when nothing was printed.
    bool PrintGrid() const;
    // Every page of rows 1..RowCount-1 as a PDF file's bytes, on the page the preview shows.
    QByteArray pdfDocument() const;

    // The preview page in screen pixels.
    QSize previewSize() const;
    // The table as it is shown now: column widths, hidden columns, font, alignment.
    PrintableTable printable() const;

private:
    const TSortGridView& m_view;
    PrinterSetup& m_printers;
    QWidget* m_messageParent;
    QString m_messageTitle;
};
